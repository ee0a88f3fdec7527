#pragma once
// COM for the constructing thread, apartment-threaded, for the lifetime of the
// object. Balances CoUninitialize only when initialisation succeeded. The
// native build has no COM and does nothing.

class CQVComApartment {
public:
    CQVComApartment();
    ~CQVComApartment();
    CQVComApartment(const CQVComApartment&) = delete;
    CQVComApartment& operator=(const CQVComApartment&) = delete;

    // True when this object initialised COM and will uninitialise it.
    bool IsInitialized() const { return m_initialized; }

private:
    bool m_initialized = false;
};
