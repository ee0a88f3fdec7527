#include "support/ComApartment.h"

#include <objbase.h>

CQVComApartment::CQVComApartment() {
    // S_FALSE (already initialised on this thread) also needs its CoUninitialize;
    // RPC_E_CHANGED_MODE does not.
    m_initialized = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

CQVComApartment::~CQVComApartment() {
    if (m_initialized)
        CoUninitialize();
}
