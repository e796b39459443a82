#pragma once
// Where each control of the main window sits (twips, scaled by the layout
// factor of twips.h), in tables: the three boxes, the labels, the eleven
// fields, the two panels and the focus order. The buttons' table is in
// main_window.cpp beside the handlers it names.

#include "operations/window_ports.h"
#include "ui/ui_texts.h"
#include "ui/window_look.h"

#include <QRect>

#include <cstddef>
#include <iterator>

class QGroupBox;
class QWidget;

namespace hattsheet::ui {

inline constexpr int kClientWidthTw = 9780;
inline constexpr int kClientHeightTw = 8790;

// A control's place in its parent (twips): left, top, width, height.
struct Twips {
    int left, top, width, height;
};

// Where a control sits: the client area or one of the three boxes.
enum class In { Client, Box1, Box2, Box3 };
inline constexpr std::size_t kPlaces = 4;

struct BoxRow {
    const char* name;
    const char* caption;
    Twips at;
};
// In the order of In: row i is In(i + 1).
inline constexpr BoxRow kBoxes[] = {
    {"Frame1", captions::kBoxOld, {60, 0, 4815, 855}},
    {"Frame2", captions::kBoxNew, {4920, 0, 4815, 855}},
    {"Frame3", captions::kBoxGeodetic, {60, 840, 9675, 615}},
};
static_assert(std::size(kBoxes) + 1 == kPlaces);

struct LabelRow {
    const char* name;
    In in;
    const char* caption;
    Twips at;
    Tint tint;
    bool centred;
};
inline constexpr LabelRow kLabels[] = {
    {"Label1", In::Box1, captions::kPhi, {540, 180, 315, 255}, Tint::Green, true},
    {"Label2", In::Box1, captions::kDeltaLambda, {540, 480, 315, 255}, Tint::Green, true},
    {"Label5", In::Box1, captions::kEasting, {2760, 180, 315, 255}, Tint::Green, false},
    {"Label6", In::Box1, captions::kNorthing, {2760, 480, 315, 255}, Tint::Green, false},
    {"Label3", In::Box2, captions::kPhi, {540, 180, 315, 255}, Tint::Yellow, true},
    {"Label4", In::Box2, captions::kDeltaLambda, {540, 480, 315, 255}, Tint::Yellow, true},
    {"Label7", In::Box2, captions::kEasting, {2760, 180, 315, 255}, Tint::Yellow, false},
    {"Label8", In::Box2, captions::kNorthing, {2760, 480, 315, 255}, Tint::Yellow, false},
    {"Label9", In::Box3, captions::kPhi, {120, 240, 315, 255}, Tint::Green, true},
    {"Label10", In::Box3, captions::kDeltaLambda, {3780, 240, 315, 255}, Tint::Green, true},
    {"Label11", In::Box3, captions::kLambda, {7260, 240, 315, 255}, Tint::Green, true},
    {"Label12", In::Client, captions::kCredits, {60, 8580, 9675, 195}, Tint::Credits, true},
};

// The eleven single-line fields; the object name comes with the FieldId
// (txtPhiOld ... txtl). The eight of the first two boxes are input fields.
// name: the field's part of its accessible name, after its box's caption.
struct FieldRow {
    operations::FieldId id;
    In in;
    const char* initial;
    Twips at;
    const char* name;
};
inline constexpr FieldRow kFields[] = {
    {operations::FieldId::PhiOld, In::Box1, "40.51", {900, 180, 1035, 285}, captions::kPhi},
    {operations::FieldId::LambdaOld, In::Box1, "-0.51", {900, 480, 1035, 285}, captions::kDeltaLambda},
    {operations::FieldId::X1, In::Box1, "0.000", {3120, 180, 1275, 285}, "\u03A7"},
    {operations::FieldId::Y1, In::Box1, "0.000", {3120, 480, 1275, 285}, "\u03A5"},
    {operations::FieldId::PhiNew, In::Box2, "40.45", {900, 180, 1035, 285}, captions::kPhi},
    {operations::FieldId::LambdaNew, In::Box2, "-0.45", {900, 480, 1035, 285}, captions::kDeltaLambda},
    {operations::FieldId::X2, In::Box2, "0.000", {3120, 180, 1275, 285}, "\u03A7"},
    {operations::FieldId::Y2, In::Box2, "0.000", {3120, 480, 1275, 285}, "\u03A5"},
    {operations::FieldId::Lat, In::Box3, "", {480, 240, 1935, 285}, captions::kPhi},
    {operations::FieldId::LonAthens, In::Box3, "", {4140, 240, 1815, 285}, captions::kDeltaLambda},
    {operations::FieldId::LonGreenwich, In::Box3, "", {7620, 240, 1935, 285}, captions::kLambda},
};

// box: the caption whose sheet the panel's points are on, for its accessible name.
struct PanelRow {
    operations::FieldId id;
    Twips at;
    Tint tint;
    const char* box;
};
inline constexpr PanelRow kPanels[] = {
    {operations::FieldId::File1, {60, 1800, 4815, 6435}, Tint::Green, captions::kBoxOld},
    {operations::FieldId::File2, {4920, 1800, 4815, 6435}, Tint::Yellow, captions::kBoxNew},
};
// The panels' least height (lines of their text): what they keep when the
// window gives up height to fit the screen.
inline constexpr int kPanelMinLines = 3;

// Focus order: Tab, and Enter in the input fields, go round it; the window
// opens with the focus on its first control.
inline constexpr const char* kFocusOrder[] = {
    "txtFile1", "txtFile2", "cmdOp1", "cmdSav1", "cmdEr1", "cmdOp2", "cmdSav2", "cmdEr2",
    "cmdAll", "txtPhiOld", "txtLamdaOld", "txtPhiNew", "txtLamdaNew", "txtX1", "txtY1", "cmdOne",
    "txtX2", "txtY2", "cmd2", "txtf", "txtm", "txtl",
};

// A control's rectangle (pixels) at the layout's scale.
QRect pixels(const Twips& at, double scale);
// A box whose caption is blue while its controls keep the system colours:
// the palette of the box reaches its children, so they get the system
// text colours back explicitly. The outline runs through the middle of the
// caption, as the layout expects: the style's own frame would start below
// the caption and cross the first row of controls.
QGroupBox* addBox(QWidget* parent, const BoxRow& row, double scale);
// A label on its fixed background.
void addLabel(QWidget* parent, const LabelRow& row, double scale);

} // namespace hattsheet::ui
