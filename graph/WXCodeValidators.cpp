#include "graph/WXCodeValidators.h"

#include "graph/WXConvert.h"
#include "signal/Units.h"

#include <wx/choice.h>

WXNamedCodeValidator::WXNamedCodeValidator(int* code, NameOf nameOf, CodeOf codeOf)
    : wxGenericValidator(code), code_(code), nameOf_(nameOf), codeOf_(codeOf) {}

bool WXNamedCodeValidator::TransferToWindow() {
    auto* choice = wxDynamicCast(GetWindow(), wxChoice);
    if (!choice)
        return wxGenericValidator::TransferToWindow();
    const int item = choice->FindString(toWx(nameOf_(*code_)), true);
    if (item != wxNOT_FOUND)
        choice->SetSelection(item);
    return true;
}

bool WXNamedCodeValidator::TransferFromWindow() {
    auto* choice = wxDynamicCast(GetWindow(), wxChoice);
    if (!choice)
        return wxGenericValidator::TransferFromWindow();
    // No selection, or a text the catalogue does not know, leaves the code alone.
    const int code = codeOf_(fromWx(choice->GetStringSelection()));
    if (code >= 0)
        *code_ = code;
    return true;
}

wxOpValidator::wxOpValidator(int* op) : WXNamedCodeValidator(op, operationName, operationIndex) {}

wxUnitValidator::wxUnitValidator(int* unit) : WXNamedCodeValidator(unit, unitName, unitIndex) {}
