#include "operations/window_ports.h"

namespace hattsheet::operations {

const char* fieldObjectName(FieldId id)
{
    switch (id) {
    case FieldId::PhiOld: return "txtPhiOld";
    case FieldId::LambdaOld: return "txtLamdaOld";
    case FieldId::PhiNew: return "txtPhiNew";
    case FieldId::LambdaNew: return "txtLamdaNew";
    case FieldId::X1: return "txtX1";
    case FieldId::Y1: return "txtY1";
    case FieldId::X2: return "txtX2";
    case FieldId::Y2: return "txtY2";
    case FieldId::Lat: return "txtf";
    case FieldId::LonAthens: return "txtm";
    case FieldId::LonGreenwich: return "txtl";
    case FieldId::File1: return "txtFile1";
    case FieldId::File2: return "txtFile2";
    }
    return "";
}

} // namespace hattsheet::operations
