#include "tests/models/empty_model/empty_systemSAN.h"

empty_systemSAN::empty_systemSAN() {
    initializeSANModelNow("empty_system", 0, nullptr, 0, nullptr, 0, nullptr, 0, nullptr);
}

empty_systemSAN::~empty_systemSAN() {}
