// The accuracy table of README.md: the Hatt series and the conversion
// between two sheets against PROJ's exact aeqd, by distance from the centre.
// Exit status 1 when a figure has grown past its bound.

#include "accuracy.h"

#include <cstdio>

int main()
{
    using namespace hattsheet::accuracy;
    if (!Aeqd(40.0, 0.0).pj) {
        std::fprintf(stderr, "accuracy_report: PROJ has no aeqd projection\n");
        return 2;
    }
    std::printf("distance | inverse (mm) | forward (mm) | conversion (mm) | round trip (mm)\n");
    bool within = true;
    for (const Bound& b : kBounds) {
        const Measured m = sweep(b);
        std::printf("%5.0f km | %12.6f | %12.6f | %15.4f | %15.4f%s\n", b.km, m.inverse * 1e3, m.forward * 1e3,
                    m.conversion * 1e3, m.roundTrip * 1e3, m.within(b) ? "" : "   past its bound");
        within = within && m.within(b);
    }
    return within ? 0 : 1;
}
