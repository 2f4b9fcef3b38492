#include "output/ResultsAccessible.h"

#include "output/ResultsView.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <unordered_map>
#include <vector>

namespace culvex {

namespace {

// One row of the list, known by its position.
class RowAccessible final : public QAccessibleInterface {
public:
    RowAccessible(ResultsView* view, int row) : view_(view), row_(row) {}

    const ResultsView* view() const { return view_.data(); }
    int row() const { return row_; }

    bool isValid() const override {
        return view_ && view_->model() && row_ < view_->model()->rowCount(view_->rootIndex());
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(view_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name && isValid() ? index().data().toString() : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        const QRect shown = view_->visualRect(index());
        return {view_->viewport()->mapToGlobal(shown.topLeft()), shown.size()};
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.selectable = true;
        state.focusable = true;
        state.selected = view_->selectionModel()->isSelected(index());
        state.focused = view_->hasFocus() && view_->currentIndex() == index();
        state.offscreen = !view_->viewport()->rect().intersects(view_->visualRect(index()));
        return state;
    }

private:
    QModelIndex index() const { return view_->model()->index(row_, 0, view_->rootIndex()); }

    QPointer<ResultsView> view_;
    int row_;
};

// The list: its rows are its children. Items are kept only for rows a tool has asked for,
// and forgotten whenever rows come, go or the list is emptied, since a position may then
// hold another row.
class ListAccessible final : public QAccessibleWidget {
public:
    explicit ListAccessible(ResultsView* view) : QAccessibleWidget(view, QAccessible::List) {
        const QAbstractItemModel* model = view->model();
        if (model == nullptr) {
            return;
        }
        const auto forget = [this] { forgetRows(); };
        connections_ = {
            QObject::connect(model, &QAbstractItemModel::rowsInserted, view, forget),
            QObject::connect(model, &QAbstractItemModel::rowsRemoved, view, forget),
            QObject::connect(model, &QAbstractItemModel::modelReset, view, forget),
            QObject::connect(model, &QAbstractItemModel::layoutChanged, view, forget),
        };
    }
    ~ListAccessible() override {
        for (const QMetaObject::Connection& connection : connections_) {
            QObject::disconnect(connection);
        }
        forgetRows();
    }

    int childCount() const override {
        return view()->model() ? view()->model()->rowCount(view()->rootIndex()) : 0;
    }
    QAccessibleInterface* child(int row) const override {
        if (row < 0 || row >= childCount()) {
            return nullptr;
        }
        auto [entry, added] = rows_.try_emplace(row, 0);
        if (added) {
            entry->second =
                QAccessible::registerAccessibleInterface(new RowAccessible(view(), row));
        }
        return QAccessible::accessibleInterface(entry->second);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* row = dynamic_cast<const RowAccessible*>(child);
        return row && row->view() == view() && row->isValid() ? row->row() : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QModelIndex index = view()->indexAt(view()->viewport()->mapFromGlobal(QPoint(x, y)));
        return index.isValid() ? child(index.row()) : nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        const QModelIndex current = view()->currentIndex();
        return view()->hasFocus() && current.isValid() ? child(current.row()) : nullptr;
    }

private:
    ResultsView* view() const { return static_cast<ResultsView*>(widget()); }
    void forgetRows() {
        for (const auto& [row, id] : rows_) {
            QAccessible::deleteAccessibleInterface(id);
        }
        rows_.clear();
    }

    mutable std::unordered_map<int, QAccessible::Id> rows_;
    std::vector<QMetaObject::Connection> connections_;
};

QAccessibleInterface* makeAccessible(const QString& className, QObject* object) {
    auto* view = qobject_cast<ResultsView*>(object);
    if (view == nullptr || className != QLatin1String(ResultsView::staticMetaObject.className())) {
        return nullptr;
    }
    return new ListAccessible(view);
}

}  // namespace

void installResultsAccessibility() {
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(&makeAccessible);
        return true;
    }();
}

}  // namespace culvex
