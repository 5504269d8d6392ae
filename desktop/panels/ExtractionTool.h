#pragma once

#include "desktop/panels/ExtractionPanel.h"

// The left button's job on the picture while a tool is chosen.
class ExtractionPanel::Tool : public PictureTool {
  public:
    Tool(ExtractionPanel& panel, ToolKind kind) : panel_(panel), kind_(kind) {}

    void pressed(DPoint picture) override
    {
        from_ = picture;
        act(picture, false);
    }
    void dragged(DPoint picture) override { act(picture, false); }
    void released(DPoint picture) override { act(picture, true); }
    QCursor cursor() const override { return kind_ == ToolKind::eyedropper ? Qt::PointingHandCursor : Qt::CrossCursor; }

  private:
    void act(DPoint picture, bool done)
    {
        switch (kind_) {
        case ToolKind::eyedropper:
            if (done)
                panel_.picked(picture);
            break;
        case ToolKind::box:
            panel_.boxDrawn(from_, picture, done);
            break;
        case ToolKind::brush:
            panel_.paintedOut(picture);
            break;
        case ToolKind::none:
            break;
        }
    }

    ExtractionPanel& panel_;
    ToolKind kind_;
    DPoint from_;
};

