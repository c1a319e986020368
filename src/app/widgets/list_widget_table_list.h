#pragma once

#include "app/controls.h"

class QListWidget;

namespace app {

// A multi-selection list box whose entries stay sorted.
class ListWidgetTableList : public TableList {
public:
    explicit ListWidgetTableList(QListWidget* list) : list_(list) {}
    int count() const override;
    QString text(int index) const override;
    bool isSelected(int index) const override;
    void setSelected(int index, bool selected) override;
    void setAllSelected(bool selected) override;
    int selectedCount() const override;
    int currentIndex() const override;
    void setCurrentIndex(int index) override;
    void add(const QString& text) override;
    void removeAt(int index) override;
    void clear() override;

private:
    QListWidget* list_;
};

} // namespace app
