#include "BaseClasses/FastSet.h"

#include "BaseClasses/StandardErrors.h"

#include <new>

FastSet::FastSet() : is_vec_rep(false), values(nullptr), numValues(0) {
    values = new (std::nothrow) std::set<int>();
    if (values == nullptr)
        MemoryAllocationError();
}

FastSet::~FastSet() {
    if (is_vec_rep)
        delete[] static_cast<int*>(values);
    else
        delete tree();
}

void FastSet::NoMoreModifications() {
    assert(!is_vec_rep);
    std::set<int>* t = tree();
    int n = static_cast<int>(t->size());
    int* array = nullptr;
    if (n > 0) {
        array = new (std::nothrow) int[n];
        if (array == nullptr)
            MemoryAllocationError();
        int i = 0;
        for (int v : *t)
            array[i++] = v;
    }
    delete t;
    numValues = n;
    values = array;
    is_vec_rep = true;
}

void FastSet::clear() {
    if (is_vec_rep) {
        delete[] static_cast<int*>(values);
        values = nullptr;
        numValues = 0;
    } else {
        tree()->clear();
    }
}
