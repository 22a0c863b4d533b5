#pragma once
// The small window shown while the prices of a group are indexed
// ("Indexez preturile..."), with the hourglass cursor.

#include <QFrame>

namespace catalogs {

class TIndexPriceForm : public QFrame {
    Q_OBJECT
public:
    explicit TIndexPriceForm(QWidget* parent = nullptr);
    ~TIndexPriceForm() override;
    // Shows the window over its parent with the hourglass cursor; stop() takes both away.
    void start();
    void stop();

private:
    bool m_busy = false;
};

} // namespace catalogs
