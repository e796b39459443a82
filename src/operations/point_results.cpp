#include "operations/point_results.h"

#include "operations/single_point.h"

#include <initializer_list>
#include <string>
#include <utility>

namespace hattsheet::operations {

namespace {

void empty(Fields& fields, std::initializer_list<FieldId> ids)
{
    for (const FieldId id : ids) fields.setText(id, "");
}

void emptyGeodetic(Fields& fields)
{
    empty(fields, {FieldId::Lat, FieldId::LonAthens, FieldId::LonGreenwich});
}

} // namespace

void PointResults::converted(Direction direction)
{
    m_result = direction == Direction::Forward ? Result::NewPoint : Result::OldPoint;
}

void PointResults::centreChanged(Fields& fields, Side side)
{
    if (m_result == Result::NewPoint) empty(fields, {FieldId::X2, FieldId::Y2});
    if (m_result == Result::OldPoint) empty(fields, {FieldId::X1, FieldId::Y1});
    // The display is X1, Y1 on the old centre, whatever computed X1, Y1.
    if (side == Side::From) emptyGeodetic(fields);
    m_result = Result::None;
}

void PointResults::pointTyped(FieldId id)
{
    const bool newPoint = id == FieldId::X2 || id == FieldId::Y2;
    if ((m_result == Result::NewPoint) == newPoint) m_result = Result::None;
}

void PointResults::swap(Fields& fields)
{
    swapCentres(fields);
    for (const auto& [a, b] : {std::pair{FieldId::X1, FieldId::X2}, std::pair{FieldId::Y1, FieldId::Y2}}) {
        const std::string old = fields.text(a);
        fields.setText(a, fields.text(b));
        fields.setText(b, old);
    }
    // After ">" the display is the point of X1 on the old centre, which is
    // now the point of the new X1 on the new old centre.
    if (m_result != Result::NewPoint) emptyGeodetic(fields);
    m_result = m_result == Result::NewPoint ? Result::OldPoint : m_result == Result::OldPoint ? Result::NewPoint : Result::None;
}

} // namespace hattsheet::operations
