#pragma once
// The report engine's list of paper sizes. The index of an entry is the
// number kept in the print settings and in layout files (`Format`): the
// printer's own paper codes, 0 standing for the printer's default paper and
// 9 for A4.

#include <QList>
#include <QPageSize>
#include <QSizeF>
#include <QString>

namespace reportengine {

struct PaperSize {
    int index = 0;
    QString name;
    QSizeF size;                              // millimetres, portrait (width <= height)
    QPageSize::PageSizeId id = QPageSize::Custom;
};

inline constexpr int kDefaultPaper = 0; // the printer's default paper
inline constexpr int kPaperA4 = 9;

// Every entry, in index order (entry i has index i).
const QList<PaperSize>& paperSizes();
// The entry of an index; an unknown index gives A4.
const PaperSize& paperSize(int index);
// The index of the entry with that paper (compared in whole millimetres,
// either orientation); 0 when no entry has it.
int paperIndexOf(const QPageSize& pageSize);

} // namespace reportengine
