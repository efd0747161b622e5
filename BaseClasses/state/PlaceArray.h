#ifndef PLACEARRAY_H
#define PLACEARRAY_H

#include "BaseClasses/state/Place.h"
#include "BaseClasses/state/StructStateVariable.h"

#include <vector>

// A structured state variable of `size` places (element code 0), for models that keep
// a row of markings under one name: a buffer of slots, a counter per class. Its bytes
// in the state vector are the places' markings in index order. Sharing two arrays of
// one size shares them place by place. The array owns its places.
class PlaceArray : public BaseStructStateVariable {
  public:
    // `initial` holds `size` markings, or is null for all zero.
    PlaceArray(const char* name, int size, const short* initial);
    ~PlaceArray() override;
    PlaceArray(const PlaceArray&) = delete;
    PlaceArray& operator=(const PlaceArray&) = delete;

    int Size() const { return static_cast<int>(places.size()); }
    Place* Item(int i) const { return places[static_cast<size_t>(i)]; }
    // The marking of place i, for reward functions.
    short operator[](int i) const { return places[static_cast<size_t>(i)]->getMark(); }

    fieldType field(ArrayType type, BaseStateVariableClass* variable) const override;

    // An activity's cached view of an array's markings: element i reads and writes the
    // marking of place i wherever sharing has put its storage. Link() once, when the
    // activity links its variables; the view must not move afterwards.
    class Marks {
      public:
        Marks() = default;
        Marks(const Marks&) = delete;
        Marks& operator=(const Marks&) = delete;
        void Link(PlaceArray* array);
        short& operator[](int i) const { return *cells[static_cast<size_t>(i)]; }
        int Size() const { return static_cast<int>(cells.size()); }

      private:
        std::vector<short*> cells;
    };

  private:
    std::vector<Place*> places;
    const short* pendingInitial; // read by field() while the constructor runs
};

#endif
