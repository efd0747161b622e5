#include "generator/ResultsDB.h"

#include "BaseClasses/StandardErrors.h"

#include <cstring>
#include <new>

namespace {

void Replace(char*& field, const char* text) {
    if (text == nullptr)
        return;
    char* copy = new (std::nothrow) char[std::strlen(text) + 1];
    if (copy == nullptr)
        MemoryAllocationError();
    std::strcpy(copy, text);
    delete[] field;
    field = copy;
}

} // namespace

ResultsDB::ResultsDB(const char* h, int p, const char* t1, const char* t2, const char* t3)
    : host{}, port(0), text1(nullptr), text2(nullptr), text3(nullptr) {
    setDBInfo(h, p, t1, t2, t3);
}

ResultsDB::~ResultsDB() {
    delete[] text1;
    delete[] text2;
    delete[] text3;
}

void ResultsDB::setDBInfo(const char* h, int p, const char* t1, const char* t2, const char* t3) {
    if (h != nullptr) {
        std::strncpy(host, h, sizeof(host) - 1);
        host[sizeof(host) - 1] = '\0';
    }
    if (p != -1)
        port = p;
    Replace(text1, t1);
    Replace(text2, t2);
    Replace(text3, t3);
}
