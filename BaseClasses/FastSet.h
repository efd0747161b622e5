#ifndef FASTSET_H
#define FASTSET_H

#include <cassert>
#include <set>

// A set of ints built by insertions (ordered tree), then frozen once by
// NoMoreModifications() into a sorted array for indexed reads in the per-transition
// reward code. Build-form operations assert "!is_vec_rep"; frozen-form reads assert
// "is_vec_rep".
class FastSet {
  public:
    bool is_vec_rep;
    void* values;
    int numValues;

    FastSet();
    ~FastSet();
    FastSet(const FastSet&) = delete;
    FastSet& operator=(const FastSet&) = delete;

    void insert(const int& v) {
        assert(!is_vec_rep);
        tree()->insert(v);
    }
    bool find(const int& v) const {
        assert(!is_vec_rep);
        return tree()->count(v) != 0;
    }
    bool empty() const {
        assert(!is_vec_rep);
        return tree()->empty();
    }
    void NoMoreModifications();
    int& operator[](int i) {
        assert(is_vec_rep);
        return static_cast<int*>(values)[i];
    }
    int size() const {
        assert(is_vec_rep);
        return numValues;
    }
    void clear();

  private:
    std::set<int>* tree() const { return static_cast<std::set<int>*>(values); }
};

#endif
