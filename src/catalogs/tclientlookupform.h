#pragma once
// TClientLookupForm: the budgets (financing sources standing in the client
// role), as the child window "Catalog surse de finantare" and as the picker
// "Selectie de bugete". Everything but the catalog's description is TLookupForm's.

#include "lookupform.h"

#include <memory>

namespace catalogs {

class TClientLookupForm : public TLookupForm {
public:
    TClientLookupForm(const PartnerServices& services, LookupRole role, QWidget* parent = nullptr);

    // The child window, opened and ready to be put into an MDI sub-window of
    // the main window; nullptr (after the error box) when its table cannot be opened.
    static std::unique_ptr<TClientLookupForm> createChild(const PartnerServices& services);
};

// The modal picker: see TLookupForm::pick. False, after the error box, when
// the table cannot be opened.
bool PickBudget(const PartnerServices& services, QWidget* owner, QString& code);

} // namespace catalogs
