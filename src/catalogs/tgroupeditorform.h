#pragma once
// The material classes and article groups window: the class list over the
// group list of the current class, both edited in place (Insert adds a row,
// Ctrl-Delete deletes one after the question). A child window of the main
// window ("&Sistem" / "Clase si grupe de articole", one instance) or, from
// the article window's button, a modal dialog. Binds TGroupEditorLogic.

#include "groupeditorlogic.h"
#include "partnercatalogs.h"

#include "ui/refreshtarget.h"

#include <QWidget>
#include <memory>

namespace catalogs {

class TGroupEditorForm : public QWidget, public ui::RefreshTarget {
    Q_OBJECT
public:
    TGroupEditorForm(const PartnerServices& services, QWidget* parent = nullptr);
    ~TGroupEditorForm() override;

    // Opens the lists (on `group` when given) and reads their layouts; false
    // after the error box: the window is to be released.
    bool prepare(const QString& group = {});
    // A child window of the main window; nullptr after the error box.
    static std::unique_ptr<TGroupEditorForm> createChild(const PartnerServices& services);
    // Shown modally over `owner`, on `group`; true when a class or a group was changed.
    static bool runModal(const PartnerServices& services, QWidget* owner, const QString& group);

    void refreshTick() override;
    bool closeQuery(); // pending rows are posted; the layouts written

    TGroupEditorLogic& logic() { return m_logic; }
    ui::DataGrid* classGrid() const { return m_classGrid; }
    ui::DataGrid* groupGrid() const { return m_groupGrid; }

signals:
    void changed(); // a class or a group was written or deleted

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QString layoutPath() const;
    const PartnerServices m_services;
    TGroupEditorLogic m_logic;
    std::unique_ptr<ui::DatasetModel> m_classModel;
    std::unique_ptr<ui::DatasetModel> m_groupModel;
    ui::DataGrid* m_classGrid = nullptr;
    ui::DataGrid* m_groupGrid = nullptr;
    bool m_closed = false;
};

} // namespace catalogs
