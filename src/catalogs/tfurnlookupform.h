#pragma once
// TFurnLookupForm: the supplier catalog, as the child window "Catalog
// furnizori" and as the picker "Selectie de furnizori" (used by the input
// documents). Everything but the catalog's description is TLookupForm's.

#include "lookupform.h"

#include <memory>

namespace catalogs {

class TFurnLookupForm : public TLookupForm {
public:
    TFurnLookupForm(const PartnerServices& services, LookupRole role, QWidget* parent = nullptr);

    // The child window, opened and ready to be put into an MDI sub-window of
    // the main window; nullptr (after the error box) when its table cannot be opened.
    static std::unique_ptr<TFurnLookupForm> createChild(const PartnerServices& services);
};

// The modal picker: see TLookupForm::pick. False, after the error box, when
// the table cannot be opened.
bool PickSupplier(const PartnerServices& services, QWidget* owner, QString& code);

} // namespace catalogs
