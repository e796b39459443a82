// The accuracy table of README.md: the Hatt series and the conversion
// between two sheets against PROJ's exact aeqd, by distance from the centre.
// Exit status 1 when a figure has grown past its bound.

#include "accuracy.h"

#include <cstdio>
#include <string>

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
        // A figure whose bound is 0 is not measured at that distance: "-".
        const auto cell = [](double bound, double metres, int width, int decimals) {
            char text[32];
            if (bound > 0) std::snprintf(text, sizeof text, "%*.*f", width, decimals, metres * 1e3);
            else std::snprintf(text, sizeof text, "%*s", width, "-");
            return std::string(text);
        };
        std::printf("%5.0f km | %s | %s | %s | %s%s\n", b.km, cell(b.inverseMm, m.inverse, 12, 6).c_str(),
                    cell(b.forwardMm, m.forward, 12, 6).c_str(), cell(b.conversionMm, m.conversion, 15, 4).c_str(),
                    cell(b.roundTripMm, m.roundTrip, 15, 4).c_str(), m.within(b) ? "" : "   past its bound");
        within = within && m.within(b);
    }
    return within ? 0 : 1;
}
