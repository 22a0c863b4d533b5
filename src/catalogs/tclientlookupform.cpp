#include "tclientlookupform.h"

namespace catalogs {

TClientLookupForm::TClientLookupForm(const PartnerServices& services, LookupRole role, QWidget* parent)
    : TLookupForm(partnerCatalog(PartnerKind::Budgets), services, role, parent)
{
}

std::unique_ptr<TClientLookupForm> TClientLookupForm::createChild(const PartnerServices& services)
{
    auto form = std::make_unique<TClientLookupForm>(services, LookupRole::Child);
    if (!form->prepare())
        return nullptr;
    return form;
}

bool PickBudget(const PartnerServices& services, QWidget* owner, QString& code)
{
    TClientLookupForm form(services, LookupRole::Picker);
    return form.prepare() && form.pick(owner, code);
}

} // namespace catalogs
