#ifndef PLACE_H
#define PLACE_H

#include "BaseClasses/state/SharableSV.h"

// A SAN place: a SharableSV<short> whose value is the marking. Generated model code
// reads and writes the marking directly through `Mark`, which sharing redirects.
class Place : public SharableSV<short> {
  public:
    short* Mark;

    Place();
    explicit Place(const char* name);
    Place(const char* name, short initial);
    ~Place() override;

    short getMark() const { return *Mark; }
    void setMark(short m) { *Mark = m; }
};

#endif
