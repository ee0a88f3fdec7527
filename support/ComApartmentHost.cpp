// The native build has no COM: nothing to initialise.
#include "support/ComApartment.h"

CQVComApartment::CQVComApartment() = default;

CQVComApartment::~CQVComApartment() = default;
