#pragma once
// TGestlookupForm: the warehouse catalog "Catalog de gestiuni", as a child
// window and as the modal picker PickWarehouse (input documents' warehouse
// column, output documents' "Client" field). Everything but the catalog's
// description is TLookupForm's.

#include "lookupform.h"

#include <memory>

namespace catalogs {

class TGestlookupForm : public TLookupForm {
public:
    TGestlookupForm(const PartnerServices& services, LookupRole role, QWidget* parent = nullptr);

    // The child window, opened and ready to be put into an MDI sub-window of
    // the main window; nullptr (after the error box) when its table cannot be opened.
    static std::unique_ptr<TGestlookupForm> createChild(const PartnerServices& services);
};

// The modal picker: see TLookupForm::pick. False, after the error box, when
// the table cannot be opened.
bool PickWarehouse(const PartnerServices& services, QWidget* owner, QString& code);

} // namespace catalogs
