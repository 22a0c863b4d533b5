#pragma once
// Automatic article codes: the first three letters of the name in capitals,
// optionally marked with the product type, followed by a three-digit counter
// one above the highest code that already starts with the same prefix
// ("pix albastru" -> PIX001, then PIX042 after PIX041).

#include "common/dialogs.h"
#include "datastore/database.h"

#include <QString>
#include <functional>
#include <optional>

namespace catalogs {

// The answer of the product-type question ("Materie prima", "Semifabricat",
// "Produs finit"); raw materials are coded ".APA001", semi-finished products
// ";APA001", finished products "APA001".
enum class ProductType { RawMaterial, SemiFinished, FinishedProduct };

// Asks the product type (the dialog TTipProdDlgFrm in the application).
using ProductTypeQuestion = std::function<ProductType()>;

// The character a product type puts before the prefix ('.', ';' or none).
QString productTypeMark(ProductType type);

// The code an article named `name` gets. Runs when a name is entered and
// code generation is on:
//  - a name of fewer than 3 characters is refused;
//  - with recipes on (`askProductType` given), the product type is asked on
//    every name entry, also when the article already has a code;
//  - the counter follows the highest code with the same prefix (codes at or
//    above "ZZZZZ" do not count); it is 001 when there is none or when the
//    three characters after the prefix are not a number;
//  - an article that already has a code keeps it (`currentCode`).
// Returns the code the article is to have, or nullopt after the warning
// when the name is refused (too short, or the counter of the prefix is
// exhausted at 999 for an article that still needs a code).
std::optional<QString> GenerateArticleCode(datastore::Database& db, common::Dialogs& dialogs, const QString& name,
                                           const QString& currentCode, const ProductTypeQuestion& askProductType);

} // namespace catalogs
