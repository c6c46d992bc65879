#pragma once

#include <wx/valgen.h>

#include <string>

// Binds a choice to an integer code through the code's display name: the name selects the item
// of the same text (the selection stays when there is none), and the selected text is turned
// back into the code.
class WXNamedCodeValidator : public wxGenericValidator {
public:
    using NameOf = std::string (*)(int code);
    using CodeOf = int (*)(const std::string& name);

    WXNamedCodeValidator(int* code, NameOf nameOf, CodeOf codeOf);

    bool TransferToWindow() override;
    bool TransferFromWindow() override;

protected:
    WXNamedCodeValidator(const WXNamedCodeValidator&) = default;

private:
    int* code_;
    NameOf nameOf_;
    CodeOf codeOf_;
};

// A choice of operations ("none", "add", ...) bound to ChannelData::op.
class wxOpValidator : public WXNamedCodeValidator {
public:
    explicit wxOpValidator(int* op);
    wxObject* Clone() const override { return new wxOpValidator(*this); }
};

// A choice of units bound to ChannelData::unit.
class wxUnitValidator : public WXNamedCodeValidator {
public:
    explicit wxUnitValidator(int* unit);
    wxObject* Clone() const override { return new wxUnitValidator(*this); }
};
