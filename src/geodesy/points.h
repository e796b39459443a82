#pragma once
// The points of the Hatt projection: on a projection's plane and on the
// ellipsoid (geodesy/ellipsoid.h).

namespace hattsheet::geodesy {

struct PlanePoint {
    double x = 0.0;  // easting from the sheet centre (metres)
    double y = 0.0;  // northing from the sheet centre (metres)
};

struct GeodeticPosition {
    double phi = 0.0;     // latitude (radians)
    double lambda = 0.0;  // longitude east of Greenwich (radians)
};

// What the inverse series give: the latitude and the longitude from the
// Athens meridian, east positive (radians).
struct SeriesPosition {
    double phi = 0.0;
    double lambdaAthens = 0.0;
};

} // namespace hattsheet::geodesy
