#include "desktop/window/QtModeButtons.h"

#include <QAbstractButton>
#include <QButtonGroup>

int QtModeButtons::selectedRow() const
{
    return group_.checkedId() < 0 ? 0 : group_.checkedId();
}

void QtModeButtons::selectCellAtRow(int row, int /*column*/)
{
    if (QAbstractButton* button = group_.button(row))
        button->setChecked(true);
}
