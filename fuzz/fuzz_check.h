#pragma once
// What every fuzz target uses to state a property: a broken property aborts,
// so libFuzzer saves the input as a crash and the run fails.

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace hattsheet::fuzz {

[[noreturn]] inline void propertyBroken(const char* what, std::string_view detail)
{
    std::fprintf(stderr, "property broken: %s [%.*s]\n", what, static_cast<int>(detail.size()), detail.data());
    std::abort();
}

inline void require(bool holds, const char* what, std::string_view detail = {})
{
    if (!holds) propertyBroken(what, detail);
}

// The texts we write must never spell a non-finite number.
inline bool spellsNonFinite(std::string_view text)
{
    for (std::string_view bad : {"inf", "INF", "Inf", "nan", "NAN", "NaN"}) {
        if (text.find(bad) != std::string_view::npos) return true;
    }
    return false;
}

// Splits the fuzzer's bytes at '|' into up to n texts; missing ones are empty.
template <std::size_t N>
inline void splitTexts(std::string_view input, std::string_view (&out)[N])
{
    for (std::size_t i = 0; i < N; ++i) {
        const auto bar = i + 1 < N ? input.find('|') : std::string_view::npos;
        out[i] = input.substr(0, bar);
        input = bar == std::string_view::npos ? std::string_view{} : input.substr(bar + 1);
    }
}

} // namespace hattsheet::fuzz
