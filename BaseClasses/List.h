#ifndef LIST_H
#define LIST_H

#include "BaseClasses/StandardErrors.h"

#include <iostream>
#include <new>

// A growable array of non-owning pointers with set semantics: every adding
// operation except insertItem() skips an item that is already held (identity
// comparison). The list owns its slot array, never the items. Copying a list is a
// shallow copy of its three fields.
//
// Growth: append(C*) doubles a full array before it searches for the item, so a
// full list doubles even when the item turns out to be held already.
template <class C> class List {
  public:
    C** items;
    int numItems;
    int arraySize;

    List() : List(10) {}
    explicit List(int n) : items(nullptr), numItems(0), arraySize(0) {
        items = allocate(n);
        if (items == nullptr) {
            arraySize = 0;
            MemoryAllocationError();
        }
        arraySize = n;
    }
    ~List() { delete[] items; }

    void append(C* item) {
        if (numItems >= arraySize)
            grow(2 * arraySize);
        if (!contains(item))
            items[numItems++] = item;
    }
    void append(C** array, int n) {
        for (int i = 0; i < n; i++)
            append(array[i]);
    }
    void append(List<C>* other) {
        int s = numItems + other->numItems;
        if (arraySize < s)
            grow(2 * s);
        for (int i = 0; i < other->numItems; i++)
            if (!contains(other->items[i]))
                items[numItems++] = other->items[i];
    }
    // The caller guarantees a free slot: never grows.
    void insertItem(C* item) {
        if (!contains(item))
            items[numItems++] = item;
    }
    void remove(C* item) {
        for (int i = 0; i < numItems; i++) {
            if (items[i] == item) {
                items[i] = items[numItems - 1];
                items[numItems - 1] = nullptr;
                numItems--;
                return;
            }
        }
    }
    void replaceItem(C* oldItem, C* newItem) {
        int oldSlot = -1, newSlot = -1;
        for (int i = 0; i < numItems && (oldSlot < 0 || newSlot < 0); i++) {
            if (oldSlot < 0 && items[i] == oldItem)
                oldSlot = i;
            if (newSlot < 0 && items[i] == newItem)
                newSlot = i;
        }
        if (oldSlot < 0)
            return;
        if (newSlot < 0)
            items[oldSlot] = newItem;
        else
            remove(oldItem);
    }
    // Each entry of the set removes at most one item; survivors keep their order.
    void removeSetOfItems(List<C> set) {
        bool* used = new (std::nothrow) bool[set.numItems > 0 ? set.numItems : 1]();
        if (used == nullptr)
            MemoryAllocationError();
        int removed = 0, kept = 0;
        for (int i = 0; i < numItems; i++) {
            bool gone = false;
            if (removed < set.numItems) {
                for (int j = 0; j < set.numItems; j++) {
                    if (!used[j] && set.items[j] == items[i]) {
                        used[j] = true;
                        gone = true;
                        removed++;
                        break;
                    }
                }
            }
            if (!gone)
                items[kept++] = items[i];
        }
        for (int i = kept; i < numItems; i++)
            items[i] = nullptr;
        numItems = kept;
        delete[] used;
        // The by-value copy shares our caller's slot array: detach it so that its
        // destructor does not free storage it does not own.
        set.items = nullptr;
    }
    bool contains(C* item) const {
        for (int i = 0; i < numItems; i++)
            if (items[i] == item)
                return true;
        return false;
    }
    C* getItem(int i) const { return items[i]; }
    C* operator[](int i) const { return items[i]; }
    C** getList() const { return items; }
    int getNumItems() const { return numItems; }
    void clearList() { numItems = 0; }
    void increaseArraySize(int n) { grow(n); }

    void printList() const {
        if (numItems == 0)
            std::cout << "No items in the list" << std::endl;
        for (int i = 0; i < numItems; i++)
            std::cout << "[" << i << "] " << static_cast<const void*>(items[i]) << std::endl;
    }

  private:
    static C** allocate(int n) {
        C** a = new (std::nothrow) C*[n > 0 ? n : 1];
        if (a != nullptr)
            for (int i = 0; i < (n > 0 ? n : 1); i++)
                a[i] = nullptr;
        return a;
    }
    void grow(int n) {
        C** a = allocate(n);
        if (a == nullptr) {
            // exact text, matched by callers (the same on every growth path)
            std::cerr << "!! Crtical error in "
                      << "List<C>::append(List*)"
                      << " do to insufficient memory...exiting" << std::endl;
            MemoryAllocationError();
        }
        for (int i = 0; i < numItems && i < n; i++)
            a[i] = items[i];
        delete[] items;
        items = a;
        arraySize = n;
    }
};

#endif
