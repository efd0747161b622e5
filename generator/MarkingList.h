#ifndef MARKINGLIST_H
#define MARKINGLIST_H

#include <string>
#include <vector>

class BaseModelClass;
class BaseStateVariableClass;
class Place;

// The places of a model by their full names, in the order of the state vector, for
// writing the marking the model holds. A full name is the path of submodel names from
// below the top model to the place, joined by '.': "ram_system.ram_working". The
// instances of a replicated submodel are told apart by their index among the
// siblings of that name, from 0 ("server[1].queue"), and the elements of an array of
// places by theirs ("slots[2]"). A place shared in a join is listed once, where the
// join stores it, under the join's name for it.
//
// The list is built once from the model's structure; Append() reads the places'
// markings as they are when it is called, so the caller loads the state first.
class MarkingList {
  public:
    // `all`: list every place; otherwise only those with a nonzero marking.
    MarkingList(BaseModelClass* top, bool all);

    // Appends " <name>=<marking>" for each place listed, in order.
    void Append(std::string& out) const;
    size_t NumPlaces() const { return entries.size(); }

  private:
    struct Entry {
        std::string name;
        Place* place;                  // a place or an element of an array of places
        BaseStateVariableClass* other; // any other state variable, written as it prints
    };
    std::vector<Entry> entries;
    bool all;

    void Collect(BaseModelClass* m, const std::string& prefix);
    void Add(BaseStateVariableClass* v, const std::string& prefix);
};

#endif
