#include "tfurnlookupform.h"

namespace catalogs {

TFurnLookupForm::TFurnLookupForm(const PartnerServices& services, LookupRole role, QWidget* parent)
    : TLookupForm(partnerCatalog(PartnerKind::Suppliers), services, role, parent)
{
}

std::unique_ptr<TFurnLookupForm> TFurnLookupForm::createChild(const PartnerServices& services)
{
    auto form = std::make_unique<TFurnLookupForm>(services, LookupRole::Child);
    if (!form->prepare())
        return nullptr;
    return form;
}

bool PickSupplier(const PartnerServices& services, QWidget* owner, QString& code)
{
    TFurnLookupForm form(services, LookupRole::Picker);
    return form.prepare() && form.pick(owner, code);
}

} // namespace catalogs
