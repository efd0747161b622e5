#include "Composer/Join.h"

#include "BaseClasses/BaseActionClass.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/StandardErrors.h"
#include "BaseClasses/state/BaseStateVariableClass.h"
#include "BaseClasses/state/Place.h"
#include "BaseClasses/state/SharableSV.h"

#include <cassert>
#include <cstdint>
#include <cstring>
#include <new>
#include <typeinfo>

namespace {

template <class T> T* allocateArray(int n) {
    T* a = new (std::nothrow) T[n > 0 ? n : 1]();
    if (a == nullptr)
        MemoryAllocationError();
    return a;
}

bool sameName(const char* a, const char* b) {
    return a != nullptr && b != nullptr && std::strcmp(a, b) == 0;
}

} // namespace

Join::Join(const char* name, int numChildren, int numShared, char** sharedNames)
    : BaseComposerClass(name, numChildren, numShared, sharedNames), ChildStateSizes(nullptr),
      ActionNameTableSize(0), ActionNames(nullptr), ActionNameCounts(nullptr) {}

Join::~Join() {
    delete[] ActionNames;
    delete[] ActionNameCounts;
    delete[] ChildStateSizes;
}

// Runs once sharing is complete; the sizes taken here serve every later state
// operation, so no child's state size may change afterwards.
void Join::Setup() {
    GeneralSetup();

    delete[] ChildStateSizes;
    ChildStateSizes = allocateArray<int>(NumChildren);
    for (int c = 0; c < NumChildren; c++)
        ChildStateSizes[c] = Children[c]->StateSize();

    int distinct = 0;
    for (int i = 0; i < NumActions; i++) {
        bool seen = false;
        for (int j = 0; j < i && !seen; j++)
            seen = sameName(Actions[j]->Name, Actions[i]->Name);
        if (!seen)
            distinct++;
    }
    ActionNameTableSize = 4 * distinct;
    delete[] ActionNames;
    delete[] ActionNameCounts;
    ActionNames = allocateArray<char*>(ActionNameTableSize);
    ActionNameCounts = allocateArray<int>(ActionNameTableSize);
    HashActions();
}

// Open addressing with alternating quadratic probes: h, h+1, h-1, h+4, h-4, h+9, ...
// Each probe is reduced modulo the table size in unsigned 32-bit arithmetic, so
// h - k*k wraps around 2^32 before the reduction. The table is four times the
// number of distinct names, yet for sizes with many small prime factors the probes
// need not reach a free slot; they are bounded to k <= size, after which a linear
// scan settles the name. A repeated name retraces the same steps and meets its slot.
void Join::HashActions() {
    if (ActionNameTableSize <= 0)
        return;
    const uint32_t size = static_cast<uint32_t>(ActionNameTableSize);
    for (int i = 0; i < NumActions; i++) {
        char* name = Actions[i]->Name;
        const uint32_t h = Hash(name, ActionNameTableSize);
        int slot = -1;
        for (uint32_t k = 0; k <= size && slot < 0; k++) {
            const uint32_t square = k * k;
            const uint32_t probes[2] = {(h + square) % size, (h - square) % size};
            for (int s = 0; s < (k == 0 ? 1 : 2) && slot < 0; s++) {
                uint32_t at = probes[s];
                if (ActionNames[at] == nullptr || sameName(ActionNames[at], name))
                    slot = static_cast<int>(at);
            }
        }
        for (uint32_t at = 0; at < size && slot < 0; at++)
            if (ActionNames[at] == nullptr || sameName(ActionNames[at], name))
                slot = static_cast<int>(at);
        if (ActionNames[slot] == nullptr) {
            ActionNames[slot] = name;
            ActionNameCounts[slot] = 1;
        } else {
            ActionNameCounts[slot]++;
        }
    }
}

int Join::StateSize() {
    int size = 0;
    for (int c = 0; c < NumChildren; c++)
        size += Children[c]->StateSize();
    return size + SharedStateSize();
}

namespace {

// The short place behind a state variable, or null for any other kind of variable,
// including classes derived further, which may copy their state differently.
SharableSV<short>* ShortPlace(BaseStateVariableClass* v) {
    if (typeid(*v) != typeid(Place) && typeid(*v) != typeid(SharableSV<short>))
        return nullptr;
    return static_cast<SharableSV<short>*>(v);
}

} // namespace

bool Join::Flatten(BaseModelClass* m) {
    if (Join* j = dynamic_cast<Join*>(m)) {
        for (int c = 0; c < j->NumChildren; c++)
            if (!Flatten(j->Children[c]))
                return false;
        for (int i = 0; i < j->NumSharedStateVariables; i++) {
            BaseStateVariableClass* v = j->SharedStateVariables[i];
            if (v == nullptr || !v->stored)
                continue;
            SharableSV<short>* place = ShortPlace(v);
            if (place == nullptr)
                return false;
            cells.push_back(place->Value);
        }
        return true;
    }
    SANModel* san = dynamic_cast<SANModel*>(m);
    if (san == nullptr)
        return false;
    for (int i = 0; i < san->NumStateVariables - san->NumReadOnlyPlaces; i++) {
        BaseStateVariableClass* v = san->Places[i];
        if (v->shared)
            continue;
        SharableSV<short>* place = ShortPlace(v);
        if (place == nullptr)
            return false;
        cells.push_back(place->Value);
    }
    return true;
}

bool Join::FlatLayout() {
    if (layout == Layout::Unknown) {
        cells.clear();
        bool flat = Flatten(this);
        int sizes = 0;
        for (int c = 0; c < NumChildren; c++)
            sizes += ChildStateSizes != nullptr ? ChildStateSizes[c] : -1;
        // Only where the cells reproduce exactly the layout fixed at Setup().
        flat = flat && ChildStateSizes != nullptr &&
               static_cast<int>(2 * cells.size()) == sizes + SharedStateSize();
        layout = flat ? Layout::Flat : Layout::General;
    }
    return layout == Layout::Flat;
}

void Join::CurrentState(void* p) {
    if (layout == Layout::Flat || (layout == Layout::Unknown && FlatLayout())) {
        unsigned char* at = static_cast<unsigned char*>(p);
        short* const* cell = cells.data();
        const size_t n = cells.size();
        size_t i = 0;
        // Four cells a round: the loop's own instructions were as many as the copies.
        for (; i + 4 <= n; i += 4, at += 8) {
            std::memcpy(at, cell[i], 2);
            std::memcpy(at + 2, cell[i + 1], 2);
            std::memcpy(at + 4, cell[i + 2], 2);
            std::memcpy(at + 6, cell[i + 3], 2);
        }
        for (; i < n; i++, at += 2)
            std::memcpy(at, cell[i], 2);
        return;
    }
    unsigned char* at = static_cast<unsigned char*>(p);
    for (int c = 0; c < NumChildren; c++) {
        Children[c]->CurrentState(at);
        at += ChildStateSizes[c];
    }
    CurrentSharedState(at);
}

void Join::SetState(void* p) {
    if (layout == Layout::Flat || (layout == Layout::Unknown && FlatLayout())) {
        const unsigned char* at = static_cast<const unsigned char*>(p);
        short* const* cell = cells.data();
        const size_t n = cells.size();
        size_t i = 0;
        for (; i + 4 <= n; i += 4, at += 8) {
            std::memcpy(cell[i], at, 2);
            std::memcpy(cell[i + 1], at + 2, 2);
            std::memcpy(cell[i + 2], at + 4, 2);
            std::memcpy(cell[i + 3], at + 6, 2);
        }
        for (; i < n; i++, at += 2)
            std::memcpy(cell[i], at, 2);
        return;
    }
    unsigned char* at = static_cast<unsigned char*>(p);
    for (int c = 0; c < NumChildren; c++) {
        Children[c]->SetState(at);
        at += ChildStateSizes[c];
    }
    SetSharedState(at);
}

void Join::RestoreState(const void* to, const void* held) {
    if (layout != Layout::Flat) {
        SetState(const_cast<void*>(to));
        return;
    }
    const unsigned char* t = static_cast<const unsigned char*>(to);
    const unsigned char* h = static_cast<const unsigned char*>(held);
    short* const* cell = cells.data();
    const size_t n = cells.size();
    size_t i = 0;
    // Four cells (eight bytes) compared at a time.
    for (; i + 4 <= n; i += 4) {
        uint64_t a, b;
        std::memcpy(&a, t + 2 * i, 8);
        std::memcpy(&b, h + 2 * i, 8);
        if (a == b)
            continue;
        for (size_t k = i; k < i + 4; k++)
            if (std::memcmp(t + 2 * k, h + 2 * k, 2) != 0)
                std::memcpy(cell[k], t + 2 * k, 2);
    }
    for (; i < n; i++)
        if (std::memcmp(t + 2 * i, h + 2 * i, 2) != 0)
            std::memcpy(cell[i], t + 2 * i, 2);
}

// The composer holds the storage of its shared variables, so they are written
// here, once, after every child's part.
void Join::CurrentSharedState(void* p) {
    unsigned char* at = static_cast<unsigned char*>(p);
    for (int i = 0; i < NumSharedStateVariables; i++) {
        BaseStateVariableClass* v = SharedStateVariables[i];
        if (v == nullptr || !v->stored)
            continue;
        v->CurrentState(at);
        at += v->StateSize();
    }
}

void Join::SetSharedState(void* p) {
    unsigned char* at = static_cast<unsigned char*>(p);
    for (int i = 0; i < NumSharedStateVariables; i++) {
        BaseStateVariableClass* v = SharedStateVariables[i];
        if (v == nullptr || !v->stored)
            continue;
        v->SetState(at);
        at += v->StateSize();
    }
}

int Join::GetModelType() {
    return 2;
}

int Join::GetNumberOfChildren() {
    return NumChildren;
}

BaseModelClass* Join::GetChild(int i) {
    assert(i < GetNumberOfChildren());
    return Children[i];
}

// A join's actions belong to its children; only atomic models split them.
void Join::GetLocalActions(slist&) {
    assert(false);
}

void Join::GetGlobalActions(slist&) {
    assert(false);
}

bool Join::HasLocalState() {
    return SharedStateSize() > 0;
}

void Join::ConstructLocalState(State*& s) {
    s = new (std::nothrow) LocalState(this);
    if (s == nullptr)
        MemoryAllocationError();
}

void Join::DestructLocalState(State* s) {
    delete s;
}

void Join::GetLocalState(State* s) {
    s->GetState(this);
}

void Join::SetLocalState(State const* s) {
    const_cast<State*>(s)->SetState(this);
}

// ---------------------------------------------------------------- Join::LocalState

Join::LocalState::LocalState(Join* j) : data(nullptr), size(j->SharedStateSize()) {
    data = allocateArray<unsigned char>(size);
}

Join::LocalState::~LocalState() {
    delete[] data;
}

unsigned int Join::LocalState::hash() {
    return SANModel::LocalState::hashBytes(data, size);
}

int Join::LocalState::compare(State const& other) const {
    return SANModel::LocalState::compareBytes(data, static_cast<LocalState const&>(other).data,
                                              size);
}

void Join::LocalState::print() {
    SANModel::LocalState::printBytes(data, size);
}

bool Join::LocalState::fwriteState(FILE* f) {
    return SANModel::LocalState::writeBytes(f, size, data);
}

bool Join::LocalState::freadState(FILE* f) {
    return SANModel::LocalState::readBytes(f, size, data);
}

State& Join::LocalState::operator=(State const& other) {
    if (&other == this)
        return *this;
    LocalState const* _localS = static_cast<LocalState const*>(&other);
    assert(size == _localS->size);
    std::memcpy(data, _localS->data, size);
    return *this;
}

void Join::LocalState::GetState(BaseModelClass const* m) {
    static_cast<Join*>(const_cast<BaseModelClass*>(m))->CurrentSharedState(data);
}

void Join::LocalState::SetState(BaseModelClass const* m) {
    static_cast<Join*>(const_cast<BaseModelClass*>(m))->SetSharedState(data);
}
