#include "BaseClasses/state/PlaceArray.h"

#include <string>

PlaceArray::PlaceArray(const char* name, int size, const short* initial)
    : BaseStructStateVariable(name, ""), pendingInitial(initial) {
    std::vector<ArrayType> codes(static_cast<size_t>(size > 0 ? size : 0), 0);
    places.reserve(codes.size());
    makeArrays(codes.data(), static_cast<int>(codes.size()));
    pendingInitial = nullptr;
}

PlaceArray::~PlaceArray() {
    for (Place* p : places)
        delete p;
}

BaseStructStateVariable::fieldType PlaceArray::field(ArrayType type,
                                                     BaseStateVariableClass* variable) const {
    if (variable == nullptr) {
        // Only the constructor makes fields, so the cast cannot reach a const object.
        PlaceArray* self = const_cast<PlaceArray*>(this);
        size_t i = places.size();
        std::string element = std::string(name) + "[" + std::to_string(i) + "]";
        Place* p = new Place(element.c_str(), pendingInitial != nullptr ? pendingInitial[i] : 0);
        self->places.push_back(p);
        variable = p;
    }
    return BaseStructStateVariable::field(type, variable);
}

void PlaceArray::Marks::Link(PlaceArray* array) {
    cells.assign(static_cast<size_t>(array->Size()), nullptr);
    for (int i = 0; i < array->Size(); i++) {
        Place* p = array->Item(i);
        cells[static_cast<size_t>(i)] = p->Value;
        p->addReference(&cells[static_cast<size_t>(i)], nullptr);
    }
}
