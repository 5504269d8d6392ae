#pragma once

// A page of a PDF document as the picture to digitize: which page, counted from 1, and the
// resolution it is rendered at, in dots per inch. Picture coordinates are pixels of that
// rendering, so they scale with the resolution.
struct PdfPage {
    static constexpr double defaultDpi = 300.0;
    static constexpr double lowestDpi = 10.0;
    static constexpr double highestDpi = 2400.0;

    int number = 1;
    double dpi = defaultDpi;
    friend bool operator==(const PdfPage&, const PdfPage&) = default;
};
