#include "papersizes.h"

#include <cmath>

namespace reportengine {

namespace {

constexpr double kInch = 25.4;

PaperSize mm(int index, const char* name, double w, double h, QPageSize::PageSizeId id = QPageSize::Custom)
{
    return PaperSize{index, QString::fromLatin1(name), QSizeF(w, h), id};
}

PaperSize inches(int index, const char* name, double w, double h, QPageSize::PageSizeId id = QPageSize::Custom)
{
    return mm(index, name, w * kInch, h * kInch, id);
}

QList<PaperSize> buildList()
{
    return {
        mm(0, "Implicit (imprimanta)", 210, 297, QPageSize::A4),
        inches(1, "Letter", 8.5, 11, QPageSize::Letter),
        inches(2, "Letter Small", 8.5, 11, QPageSize::Letter),
        inches(3, "Tabloid", 11, 17, QPageSize::Tabloid),
        inches(4, "Ledger", 17, 11, QPageSize::Ledger),
        inches(5, "Legal", 8.5, 14, QPageSize::Legal),
        inches(6, "Statement", 5.5, 8.5, QPageSize::Statement),
        inches(7, "Executive", 7.25, 10.5, QPageSize::Executive),
        mm(8, "A3", 297, 420, QPageSize::A3),
        mm(9, "A4", 210, 297, QPageSize::A4),
        mm(10, "A4 Small", 210, 297, QPageSize::A4),
        mm(11, "A5", 148, 210, QPageSize::A5),
        mm(12, "B4 (JIS)", 257, 364, QPageSize::JisB4),
        mm(13, "B5 (JIS)", 182, 257, QPageSize::JisB5),
        inches(14, "Folio", 8.5, 13, QPageSize::FanFoldGermanLegal),
        mm(15, "Quarto", 215, 275, QPageSize::Quarto),
        inches(16, "10x14", 10, 14, QPageSize::Imperial10x14),
        inches(17, "11x17", 11, 17, QPageSize::Tabloid),
        inches(18, "Note", 8.5, 11, QPageSize::Note),
        inches(19, "Envelope #9", 3.875, 8.875, QPageSize::Envelope9),
        inches(20, "Envelope #10", 4.125, 9.5, QPageSize::Envelope10),
        inches(21, "Envelope #11", 4.5, 10.375, QPageSize::Envelope11),
        inches(22, "Envelope #12", 4.75, 11, QPageSize::Envelope12),
        inches(23, "Envelope #14", 5, 11.5, QPageSize::Envelope14),
        inches(24, "C size sheet", 17, 22, QPageSize::ArchC),
        inches(25, "D size sheet", 22, 34, QPageSize::ArchD),
        inches(26, "E size sheet", 34, 44, QPageSize::ArchE),
        mm(27, "Envelope DL", 110, 220, QPageSize::EnvelopeDL),
        mm(28, "Envelope C5", 162, 229, QPageSize::EnvelopeC5),
        mm(29, "Envelope C3", 324, 458, QPageSize::EnvelopeC3),
        mm(30, "Envelope C4", 229, 324, QPageSize::EnvelopeC4),
        mm(31, "Envelope C6", 114, 162, QPageSize::EnvelopeC6),
        mm(32, "Envelope C65", 114, 229, QPageSize::EnvelopeC65),
        mm(33, "Envelope B4", 250, 353, QPageSize::EnvelopeB4),
        mm(34, "Envelope B5", 176, 250, QPageSize::EnvelopeB5),
        mm(35, "Envelope B6", 125, 176, QPageSize::EnvelopeB6),
        mm(36, "Envelope Italy", 110, 230, QPageSize::EnvelopeItalian),
        inches(37, "Envelope Monarch", 3.875, 7.5, QPageSize::EnvelopeMonarch),
        inches(38, "Envelope Personal", 3.625, 6.5, QPageSize::EnvelopePersonal),
        inches(39, "US Std Fanfold", 14.875, 11, QPageSize::FanFoldUS),
        inches(40, "German Std Fanfold", 8.5, 12, QPageSize::FanFoldGerman),
        inches(41, "German Legal Fanfold", 8.5, 13, QPageSize::FanFoldGermanLegal),
    };
}

} // namespace

const QList<PaperSize>& paperSizes()
{
    static const QList<PaperSize> list = [] {
        QList<PaperSize> l = buildList();
        for (PaperSize& p : l) // portrait, whatever the paper's usual way
            if (p.size.width() > p.size.height())
                p.size.transpose();
        return l;
    }();
    return list;
}

const PaperSize& paperSize(int index)
{
    const QList<PaperSize>& list = paperSizes();
    if (index < 0 || index >= list.size())
        return list.at(kPaperA4);
    return list.at(index);
}

int paperIndexOf(const QPageSize& pageSize)
{
    if (!pageSize.isValid())
        return 0;
    QSizeF s = pageSize.size(QPageSize::Millimeter);
    if (s.width() > s.height())
        s.transpose();
    const QList<PaperSize>& list = paperSizes();
    for (qsizetype i = 1; i < list.size(); ++i) {
        const QSizeF p = list.at(i).size;
        if (std::lround(p.width()) == std::lround(s.width()) && std::lround(p.height()) == std::lround(s.height()))
            return int(i);
    }
    return 0;
}

} // namespace reportengine
