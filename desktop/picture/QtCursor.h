#pragma once

#include "platform/Cursor.h"

#include <QCursor>

class QtCursor : public Cursor {
  public:
    explicit QtCursor(QCursor cursor) : cursor_(std::move(cursor)) {}
    void setOnMouseEntered(bool flag) override { onMouseEntered_ = flag; }
    bool onMouseEntered() const { return onMouseEntered_; }
    const QCursor& cursor() const { return cursor_; }

  private:
    QCursor cursor_;
    bool onMouseEntered_ = false;
};
