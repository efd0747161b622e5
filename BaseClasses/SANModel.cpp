#include "BaseClasses/SANModel.h"

#include "BaseClasses/Activity.h"
#include "BaseClasses/BaseGroupClass.h"
#include "BaseClasses/StandardErrors.h"
#include "BaseClasses/state/Place.h"

#include <cassert>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>

// The first 256 primes; a local state's byte i is weighted by primes[i mod 256].
const unsigned int primes[256] = {
    2,    3,    5,    7,    11,   13,   17,   19,   23,   29,   31,   37,   41,   43,   47,   53,
    59,   61,   67,   71,   73,   79,   83,   89,   97,   101,  103,  107,  109,  113,  127,  131,
    137,  139,  149,  151,  157,  163,  167,  173,  179,  181,  191,  193,  197,  199,  211,  223,
    227,  229,  233,  239,  241,  251,  257,  263,  269,  271,  277,  281,  283,  293,  307,  311,
    313,  317,  331,  337,  347,  349,  353,  359,  367,  373,  379,  383,  389,  397,  401,  409,
    419,  421,  431,  433,  439,  443,  449,  457,  461,  463,  467,  479,  487,  491,  499,  503,
    509,  521,  523,  541,  547,  557,  563,  569,  571,  577,  587,  593,  599,  601,  607,  613,
    617,  619,  631,  641,  643,  647,  653,  659,  661,  673,  677,  683,  691,  701,  709,  719,
    727,  733,  739,  743,  751,  757,  761,  769,  773,  787,  797,  809,  811,  821,  823,  827,
    829,  839,  853,  857,  859,  863,  877,  881,  883,  887,  907,  911,  919,  929,  937,  941,
    947,  953,  967,  971,  977,  983,  991,  997,  1009, 1013, 1019, 1021, 1031, 1033, 1039, 1049,
    1051, 1061, 1063, 1069, 1087, 1091, 1093, 1097, 1103, 1109, 1117, 1123, 1129, 1151, 1153, 1163,
    1171, 1181, 1187, 1193, 1201, 1213, 1217, 1223, 1229, 1231, 1237, 1249, 1259, 1277, 1279, 1283,
    1289, 1291, 1297, 1301, 1303, 1307, 1319, 1321, 1327, 1361, 1367, 1373, 1381, 1399, 1409, 1423,
    1427, 1429, 1433, 1439, 1447, 1451, 1453, 1459, 1471, 1481, 1483, 1487, 1489, 1493, 1499, 1511,
    1523, 1531, 1543, 1549, 1553, 1559, 1567, 1571, 1579, 1583, 1597, 1601, 1607, 1609, 1613, 1619,
};

namespace {

template <class T> T** allocatePointers(int n) {
    T** a = new (std::nothrow) T*[n > 0 ? n : 1];
    if (a == nullptr)
        MemoryAllocationError();
    for (int i = 0; i < (n > 0 ? n : 1); i++)
        a[i] = nullptr;
    return a;
}

bool sameName(const char* a, const char* b) {
    return a != nullptr && b != nullptr && std::strcmp(a, b) == 0;
}

} // namespace

// ---------------------------------------------------------------- construction

SANModel::SANModel() : Places(nullptr), ReadOnlyPlaces(nullptr), NumReadOnlyPlaces(0) {}

SANModel::SANModel(const char* name, int numPlaces, BaseStateVariableClass** places,
                   int numReadOnly, BaseStateVariableClass** readOnly, int numActions,
                   Activity** actions, int numGroups, BaseGroupClass** groups)
    : SANModel() {
    initializeSANModelNow(name, numPlaces, places, numReadOnly, readOnly, numActions, actions,
                          numGroups, groups);
}

SANModel::~SANModel() {
    delete[] Places;
    delete[] ReadOnlyPlaces;
    delete[] Actions;
    delete[] Groups;
}

void SANModel::initializeSANModelNow(const char* name, int numPlaces,
                                     BaseStateVariableClass** places, int numReadOnly,
                                     BaseStateVariableClass** readOnly, int numActions,
                                     Activity** actions, int numGroups, BaseGroupClass** groups) {
    DefineName(name);
    NumSharedStateVariables = 0;
    NumReadOnlyPlaces = numReadOnly;
    NumStateVariables = numPlaces + numReadOnly;
    NumActions = numActions;
    NumGroups = numGroups;

    delete[] Places;
    Places = allocatePointers<BaseStateVariableClass>(numPlaces);
    SetPlaces(places);
    delete[] ReadOnlyPlaces;
    ReadOnlyPlaces = allocatePointers<BaseStateVariableClass>(numReadOnly);
    SetReadOnlyPlaces(readOnly);
    delete[] Actions;
    Actions = allocatePointers<BaseActionClass>(numActions);
    SetActions(actions);
    delete[] Groups;
    Groups = allocatePointers<BaseGroupClass>(numGroups);
    SetGroups(groups);
}

void SANModel::SetPlaces(BaseStateVariableClass** places) {
    for (int i = 0; i < NumStateVariables - NumReadOnlyPlaces; i++)
        Places[i] = places[i];
}

void SANModel::SetReadOnlyPlaces(BaseStateVariableClass** places) {
    for (int i = 0; i < NumReadOnlyPlaces; i++)
        ReadOnlyPlaces[i] = places[i];
}

// Actions and groups keep no back pointer to their model, so taking ownership
// amounts to holding them in this model's arrays.
void SANModel::SetActions(Activity** actions) {
    for (int i = 0; i < NumActions; i++)
        Actions[i] = actions[i];
}

void SANModel::SetGroups(BaseGroupClass** groups) {
    for (int i = 0; i < NumGroups; i++)
        Groups[i] = groups[i];
}

// ------------------------------------------------------------------ state bytes

int SANModel::StateSize() {
    int size = 0;
    const int numPlaces = NumStateVariables - NumReadOnlyPlaces;
    for (int i = 0; i < numPlaces; i++)
        if (Places[i]->stored)
            size += Places[i]->StateSize();
    return size;
}

// A place shared into a composed model is written by that composer, never here.
// Such a place is also never the stored member of its class, which is why this
// walk over unshared places and StateSize() over stored places agree.
void SANModel::CurrentState(void* p) {
    unsigned char* at = static_cast<unsigned char*>(p);
    const int numPlaces = NumStateVariables - NumReadOnlyPlaces;
    for (int i = 0; i < numPlaces; i++) {
        BaseStateVariableClass* place = Places[i];
        if (place->shared)
            continue;
        place->CurrentState(at);
        at += place->StateSize();
    }
}

void SANModel::SetState(void* p) {
    unsigned char* at = static_cast<unsigned char*>(p);
    const int numPlaces = NumStateVariables - NumReadOnlyPlaces;
    for (int i = 0; i < numPlaces; i++) {
        BaseStateVariableClass* place = Places[i];
        if (place->shared)
            continue;
        place->SetState(at);
        at += place->StateSize();
    }
}

bool SANModel::CompareState(void* a, void* b) {
    return std::memcmp(a, b, StateSize()) == 0;
}

// ------------------------------------------------------------------- structure

int SANModel::GetModelType() {
    return 1;
}

int SANModel::GetNumberOfChildren() {
    return 0;
}

BaseModelClass* SANModel::GetChild(int) {
    assert(false);
    return nullptr;
}

BaseStateVariableClass** SANModel::GetLocalStateVariables(std::ostream*) {
    return Places;
}

void SANModel::listModels(const char* name, List<BaseModelClass>* l) {
    if (sameName(Name, name))
        l->append(this);
}

void SANModel::listActions(List<BaseActionClass>* l) {
    l->append(Actions, NumActions);
}

void SANModel::listActions(const char* name, List<BaseActionClass>* l) {
    for (int i = 0; i < NumActions; i++) {
        if (sameName(Actions[i]->Name, name)) {
            l->append(Actions[i]);
            return;
        }
    }
}

void SANModel::listGroups(List<BaseGroupClass>* l) {
    l->append(Groups, NumGroups);
}

void SANModel::listSVs(const char* modelName, const char* varName,
                       List<BaseStateVariableClass>* vars, List<BaseModelClass>* models) {
    if (!sameName(Name, modelName))
        return;
    const int numPlaces = NumStateVariables - NumReadOnlyPlaces;
    for (int i = 0; i < numPlaces; i++) {
        if (sameName(Places[i]->name, varName)) {
            vars->append(Places[i]);
            models->append(this);
        }
    }
    for (int i = 0; i < NumReadOnlyPlaces; i++) {
        if (sameName(ReadOnlyPlaces[i]->name, varName)) {
            vars->append(ReadOnlyPlaces[i]);
            models->append(this);
        }
    }
}

// --------------------------------------------------------- global/local actions

namespace {

bool holds(BaseActionClass** actions, int n, BaseActionClass* a) {
    for (int i = 0; i < n; i++)
        if (actions[i] == a)
            return true;
    return false;
}

} // namespace

// An action is global when it touches a place merged into another model's
// variable. The shared lists of such a place hold the actions of every model in
// the class, so only this model's own are kept.
void SANModel::GetGlobalActions(slist& out) {
    List<BaseActionClass> found;
    const int numPlaces = NumStateVariables - NumReadOnlyPlaces;
    for (int i = 0; i < numPlaces; i++) {
        BaseStateVariableClass* place = Places[i];
        if (place->stored)
            continue;
        List<BaseActionClass>* lists[2] = {place->getAffectingActions(),
                                           place->getEnabledActions()};
        for (List<BaseActionClass>* l : lists) {
            if (l == nullptr)
                continue;
            for (int k = 0; k < l->getNumItems(); k++)
                if (holds(Actions, NumActions, l->getItem(k)))
                    found.append(l->getItem(k));
        }
    }
    for (int k = 0; k < found.getNumItems(); k++)
        out.push_front(found.getItem(k));
}

void SANModel::GetLocalActions(slist& out) {
    slist global;
    GetGlobalActions(global);
    for (int i = 0; i < NumActions; i++) {
        bool isGlobal = false;
        for (BaseActionClass* g : global) {
            if (g == Actions[i]) {
                isGlobal = true;
                break;
            }
        }
        if (!isGlobal)
            out.push_front(Actions[i]);
    }
}

// ------------------------------------------------------------------ local state

bool SANModel::HasLocalState() {
    return StateSize() > 0;
}

void SANModel::ConstructLocalState(State*& s) {
    s = new (std::nothrow) LocalState(this);
    if (s == nullptr)
        MemoryAllocationError();
}

void SANModel::DestructLocalState(State* s) {
    delete s;
}

void SANModel::GetLocalState(State* s) {
    s->GetState(this);
}

void SANModel::SetLocalState(State const* s) {
    const_cast<State*>(s)->SetState(this);
}

// --------------------------------------------------------------------- printing

void SANModel::printState(std::ostream* out) {
    *out << "Model: (" << ModelId << ")" << (Name != nullptr ? Name : "") << "\n";
    const int numPlaces = NumStateVariables - NumReadOnlyPlaces;
    for (int i = 0; i < numPlaces; i++) {
        *out << "  ";
        Places[i]->printState(out);
    }
    for (int i = 0; i < NumReadOnlyPlaces; i++) {
        *out << "  ";
        ReadOnlyPlaces[i]->printState(out);
    }
    out->flush();
}

void SANModel::PrintSANModelInfo() {
    std::fflush(stdout);
    std::printf("SANModelInfo\n");
    std::printf("Number of Actions = %i, Number of Groups = %i, Number of State Variables = %i\n",
                NumActions, NumGroups, NumStateVariables);
    for (int i = 0; i < NumActions; i++) {
        BaseActionClass* a = Actions[i];
        std::printf("ActionName = %s\n", a->Name);
        std::printf("Group Id = %i\n", a->GroupID);
        std::printf("DistributionType = %i\n", static_cast<int>(a->DistributionType));
        std::printf("ExecutionPolicy = %i\n", static_cast<int>(a->ExecutionPolicy));
        std::printf("Number of affected state variables = %i\n", a->AffectedSVs.getNumItems());
        std::printf("Number of enabling state variables = %i\n", a->EnablingSVs.getNumItems());
    }
    std::printf("\n");
    for (int i = 0; i < NumGroups; i++)
        std::printf("Group Name = %s \n", Groups[i]->Name);
    const int numPlaces = NumStateVariables - NumReadOnlyPlaces;
    for (int i = 0; i < numPlaces; i++)
        std::printf("Place Name = %s\n", Places[i]->name);
    for (int i = 0; i < NumReadOnlyPlaces; i++)
        std::printf("Read Only Place Name = %s\n", ReadOnlyPlaces[i]->name);
    std::fflush(stdout);
}

// ------------------------------------------------------------ structure checks

bool checkLocalSVs(SANModel* m, Place** places) {
    const int numPlaces = m->NumStateVariables - m->NumReadOnlyPlaces;
    for (int i = 0; i < numPlaces; i++)
        if (m->Places[i] != places[i])
            return false;
    return true;
}

bool checkReadOnlyPlaces(SANModel* m, BaseStateVariableClass** places) {
    for (int i = 0; i < m->NumReadOnlyPlaces; i++)
        if (m->ReadOnlyPlaces[i] != places[i])
            return false;
    return true;
}

bool checkLocalActions(SANModel* m, Activity** actions) {
    for (int i = 0; i < m->NumActions; i++)
        if (m->Actions[i] != actions[i])
            return false;
    return true;
}

// ------------------------------------------------------------ SANModel::LocalState

SANModel::LocalState::LocalState(BaseModelClass* m) : data(nullptr), size(m->StateSize()) {
    data = new (std::nothrow) unsigned char[size > 0 ? size : 1];
    if (data == nullptr)
        MemoryAllocationError();
}

SANModel::LocalState::~LocalState() {
    delete[] data;
}

unsigned int SANModel::LocalState::hash() {
    return hashBytes(data, size);
}

int SANModel::LocalState::compare(State const& other) const {
    return compareBytes(data, static_cast<LocalState const&>(other).data, size);
}

void SANModel::LocalState::print() {
    printBytes(data, size);
}

bool SANModel::LocalState::fwriteState(FILE* f) {
    return writeBytes(f, size, data);
}

bool SANModel::LocalState::freadState(FILE* f) {
    return readBytes(f, size, data);
}

State& SANModel::LocalState::operator=(State const& other) {
    if (&other == this)
        return *this;
    LocalState const* _localS = static_cast<LocalState const*>(&other);
    assert(size == _localS->size);
    std::memcpy(data, _localS->data, size);
    return *this;
}

void SANModel::LocalState::GetState(BaseModelClass const* m) {
    const_cast<BaseModelClass*>(m)->CurrentState(data);
}

void SANModel::LocalState::SetState(BaseModelClass const* m) {
    const_cast<BaseModelClass*>(m)->SetState(data);
}

// Bytes are weighted as signed values, so 0xFF contributes -2 (wrapping) at index 0.
unsigned int SANModel::LocalState::hashBytes(const unsigned char* bytes, int n) {
    unsigned int h = 0;
    for (int i = 0; i < n; i++) {
        int value = static_cast<signed char>(bytes[i]);
        h += static_cast<unsigned int>(value) * primes[i % 256];
    }
    return h;
}

// Unlike hash and print, ordering reads the bytes as unsigned.
int SANModel::LocalState::compareBytes(const unsigned char* a, const unsigned char* b, int n) {
    for (int i = 0; i < n; i++) {
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    }
    return 0;
}

void SANModel::LocalState::printBytes(const unsigned char* bytes, int n) {
    for (int i = 0; i < n; i++)
        std::printf("%5d", static_cast<int>(static_cast<signed char>(bytes[i])));
    std::printf("\n");
    std::fflush(stdout);
}

bool SANModel::LocalState::writeBytes(FILE* f, int n, const unsigned char* bytes) {
    int32_t stored = n;
    std::fwrite(&stored, sizeof stored, 1, f);
    size_t written = n > 0 ? std::fwrite(bytes, 1, n, f) : 0;
    return written < static_cast<size_t>(n > 0 ? n : 0);
}

bool SANModel::LocalState::readBytes(FILE* f, int& n, unsigned char*& bytes) {
    int32_t stored = 0;
    if (std::fread(&stored, sizeof stored, 1, f) != 1 || stored < 0)
        return true;
    if (stored != n) {
        unsigned char* fresh = new (std::nothrow) unsigned char[stored > 0 ? stored : 1];
        if (fresh == nullptr)
            MemoryAllocationError();
        delete[] bytes;
        bytes = fresh;
        n = stored;
    }
    size_t got = n > 0 ? std::fread(bytes, 1, n, f) : 0;
    return got < static_cast<size_t>(n);
}
