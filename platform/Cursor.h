#pragma once

// A mouse cursor made from a picture and a hot spot.
class Cursor {
  public:
    virtual ~Cursor() = default;
    // Whether the cursor becomes current when the mouse enters a rectangle it is set for.
    virtual void setOnMouseEntered(bool flag) = 0;
};
