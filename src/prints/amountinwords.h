#pragma once
// A money amount in lei written in Romanian words, as fiscal receipts restate
// the paid sum after "adica". A pure function of the amount.
//
// The words of one group of three digits are written together without blanks
// (345 lei: "treisutepatruzecisicincide lei "); blanks separate the group texts
// from the scale words. No diacritics. The text is not trimmed: it may begin
// or end with a blank and hold two adjacent blanks (1 001 lei gives
// " o mie  un leu "); the receipt prints it unchanged.

#include <QString>

namespace prints {

// The text of one group of three digits: hundreds a, tens b, units c of group
// g (1 = lei and bani, 2 = thousands, 3 = millions, 4 = billions,
// 5 = trillions). In the groups from the thousands up a final 1 after other
// digits is "una" and a final 2 is always "doua" (202: "douasutedoi" as lei,
// "douasutedoua" as thousands). Three zeros give "".
QString GroupText(int a, int b, int c, int g);

// The amount in words, rounded to the nearest ban the way the money masks of
// the documents print it (1,005 prints as 1,01: " un leu si un ban"):
//   1 -> " un leu ", 2 -> " doi lei ", 12 -> "doisprezece lei ",
//   1 000 -> " o mie lei", 2 500 -> "doua mii cincisute lei ",
//   1,50 -> " un leu si cincizecide bani", 4,02 -> "patru lei si doibani".
// A group whose tens digit is 2 to 9 takes "de" before its scale word, the way
// bani do ("douazecide lei ", "douazecisiunade mii lei").
// With bani and no units of lei: "lei si " before the bani when there are
// thousands or more (" o mie lei si cincibani"), the bani alone below one leu
// ("cincizecide bani", "un ban").
// An amount that rounds to 0,00 gives "".
// Amounts that print as 10^14 lei or more, negative amounts and values
// that are not numbers have no text: std::out_of_range is thrown.
QString AmountInWords(double amount);

} // namespace prints
