#include "tgestlookupform.h"

namespace catalogs {

TGestlookupForm::TGestlookupForm(const PartnerServices& services, LookupRole role, QWidget* parent)
    : TLookupForm(partnerCatalog(PartnerKind::Warehouses), services, role, parent)
{
}

std::unique_ptr<TGestlookupForm> TGestlookupForm::createChild(const PartnerServices& services)
{
    auto form = std::make_unique<TGestlookupForm>(services, LookupRole::Child);
    if (!form->prepare())
        return nullptr;
    return form;
}

bool PickWarehouse(const PartnerServices& services, QWidget* owner, QString& code)
{
    TGestlookupForm form(services, LookupRole::Picker);
    return form.prepare() && form.pick(owner, code);
}

} // namespace catalogs
