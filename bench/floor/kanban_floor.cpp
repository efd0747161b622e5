// A minimal breadth-first search of the Kanban system, without the model framework:
// states packed 4 bits per place into one 64-bit word, an open-addressing table of
// state indexes, and the discovery order as the state number. It writes no file. It is
// the floor that the framework-based generator is measured against.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Place indexes; 4 bits each.
enum {
    PM1,
    PBACK1,
    PKAN1,
    POUT1,
    PM2,
    PBACK2,
    PKAN2,
    POUT2,
    PM3,
    PBACK3,
    PKAN3,
    POUT3,
    PM4,
    PBACK4,
    PKAN4,
    POUT4,
    NPLACES
};

struct Transition {
    int in[3];
    int nin;
    int out[3];
    int nout;
};

std::vector<Transition> net() {
    std::vector<Transition> t;
    t.push_back({{PKAN1}, 1, {PM1}, 1});
    const int pm[4] = {PM1, PM2, PM3, PM4}, pback[4] = {PBACK1, PBACK2, PBACK3, PBACK4},
              pout[4] = {POUT1, POUT2, POUT3, POUT4};
    for (int i = 0; i < 4; i++) {
        t.push_back({{pm[i]}, 1, {pback[i]}, 1});
        t.push_back({{pm[i]}, 1, {pout[i]}, 1});
        t.push_back({{pback[i]}, 1, {pm[i]}, 1});
    }
    t.push_back({{POUT1, PKAN2, PKAN3}, 3, {PKAN1, PM2, PM3}, 3});
    t.push_back({{POUT2, POUT3, PKAN4}, 3, {PKAN2, PKAN3, PM4}, 3});
    t.push_back({{POUT4}, 1, {PKAN4}, 1});
    return t;
}

inline unsigned get(uint64_t s, int p) {
    return unsigned(s >> (4 * p)) & 15u;
}

inline uint64_t mix(uint64_t x) {
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    x ^= x >> 33;
    return x;
}

struct Table {
    std::vector<uint32_t> slots; // state index + 1, 0 = empty
    uint64_t mask;
    explicit Table(size_t n) : slots(n, 0), mask(n - 1) {}
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kanban_floor N\n");
        return 2;
    }
    const int n = std::atoi(argv[1]);
    const std::vector<Transition> trans = net();
    auto start = std::chrono::steady_clock::now();

    std::vector<uint64_t> states;
    Table table(1u << 16);
    uint64_t init = 0;
    for (int p : {PKAN1, PKAN2, PKAN3, PKAN4})
        init |= uint64_t(n) << (4 * p);

    auto grow = [&]() {
        Table bigger(table.slots.size() * 2);
        for (uint32_t i = 0; i < states.size(); i++) {
            uint64_t h = mix(states[i]) & bigger.mask;
            while (bigger.slots[h] != 0)
                h = (h + 1) & bigger.mask;
            bigger.slots[h] = i + 1;
        }
        table = std::move(bigger);
    };
    // Returns true when the state was new.
    auto findOrInsert = [&](uint64_t s) {
        uint64_t h = mix(s) & table.mask;
        while (table.slots[h] != 0) {
            if (states[table.slots[h] - 1] == s)
                return false;
            h = (h + 1) & table.mask;
        }
        states.push_back(s);
        table.slots[h] = uint32_t(states.size());
        if (states.size() * 2 > table.slots.size())
            grow();
        return true;
    };

    findOrInsert(init);
    uint64_t transitions = 0;
    for (size_t next = 0; next < states.size(); next++) {
        const uint64_t s = states[next];
        uint64_t seen[32];
        int nseen = 0;
        for (const Transition& t : trans) {
            bool enabled = true;
            for (int k = 0; k < t.nin; k++)
                enabled = enabled && get(s, t.in[k]) > 0;
            if (!enabled)
                continue;
            uint64_t d = s;
            for (int k = 0; k < t.nin; k++)
                d -= uint64_t(1) << (4 * t.in[k]);
            for (int k = 0; k < t.nout; k++)
                d += uint64_t(1) << (4 * t.out[k]);
            findOrInsert(d);
            bool dup = false;
            for (int k = 0; k < nseen; k++)
                dup = dup || seen[k] == d;
            if (!dup) {
                seen[nseen++] = d;
                transitions++;
            }
        }
    }
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("states %zu transitions %llu seconds %.3f\n", states.size(),
                static_cast<unsigned long long>(transitions), secs);
    return 0;
}
