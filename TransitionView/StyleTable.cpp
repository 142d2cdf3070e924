// The style table: number -> name and the family that draws it. The names are
// the system's own texts, kept as they are (the misspelt 76 and the repeated
// texts of 33 and 34 included); name look-up, the gallery and the tests all
// read this one table.

#include <cctype>
#include <string>
#include <vector>

#include "TransitionView/StyleCatalogue.h"

namespace ls {
namespace {

constexpr StyleRow Pieces(const char* name, RectangleFamily f) {
  return {name, StyleKind::kRectangle, f, nullptr, nullptr};
}
constexpr StyleRow Clipped(const char* name, RegionFamily f) {
  return {name, StyleKind::kRegion, nullptr, f, nullptr};
}
constexpr StyleRow Pixels(const char* name, PixelFamily f) {
  return {name, StyleKind::kPixel, nullptr, nullptr, f};
}

const StyleRow kStyles[kStyleCount] = {
    /*   0 */ {"Swap", StyleKind::kSwap},
    /*   1 */ Pieces("Expand from right", OnePieceRectangle),
    /*   2 */ Pieces("Expand from left", OnePieceRectangle),
    /*   3 */ Pieces("Slide in from right", OnePieceRectangle),
    /*   4 */ Pieces("Slide in from left", OnePieceRectangle),
    /*   5 */ Pieces("Reveal from left", OnePieceRectangle),
    /*   6 */ Pieces("Reveal from right", OnePieceRectangle),
    /*   7 */ Pieces("Expand in from right", OnePieceRectangle),
    /*   8 */ Pieces("Expand in from left", OnePieceRectangle),
    /*   9 */ Pieces("Expand in to middle", OnePieceRectangle),
    /*  10 */ Pieces("Expand out from middle", OnePieceRectangle),
    /*  11 */ Pieces("Reveal out from middle", OnePieceRectangle),
    /*  12 */ Pieces("Reveal in from sides", TwoPieceRectangle),
    /*  13 */ Pieces("Expand in from sides", TwoPieceRectangle),
    /*  14 */ Pieces("Unroll from left", UnrollRectangle),
    /*  15 */ Pieces("Unroll from right", UnrollRectangle),
    /*  16 */ Pieces("Build up from right", BuildUpRectangle),
    /*  17 */ Pieces("Build up from left", BuildUpRectangle),
    /*  18 */ Pieces("Expand from bottom", OnePieceRectangle),
    /*  19 */ Pieces("Expand from top", OnePieceRectangle),
    /*  20 */ Pieces("Slide in from bottom", OnePieceRectangle),
    /*  21 */ Pieces("Slide in from top", OnePieceRectangle),
    /*  22 */ Pieces("Reveal from top", OnePieceRectangle),
    /*  23 */ Pieces("Reveal from bottom", OnePieceRectangle),
    /*  24 */ Pieces("Expand in from bottom", OnePieceRectangle),
    /*  25 */ Pieces("Expand in from top", OnePieceRectangle),
    /*  26 */ Pieces("Expand in to middle (horiz)", OnePieceRectangle),
    /*  27 */ Pieces("Expand out from middle (horiz)", OnePieceRectangle),
    /*  28 */ Pieces("Reveal from middle (horiz)", OnePieceRectangle),
    /*  29 */ Pieces("Slide in from top / bottom", TwoPieceRectangle),
    /*  30 */ Pieces("Expand in from top / bottom", TwoPieceRectangle),
    /*  31 */ Pieces("Unroll from top", UnrollRectangle),
    /*  32 */ Pieces("Unroll from bottom", UnrollRectangle),
    /*  33 */ Pieces("Expand from bottom", BuildUpRectangle),
    /*  34 */ Pieces("Expand in from top", BuildUpRectangle),
    /*  35 */ Pieces("Expand from bottom right", OnePieceRectangle),
    /*  36 */ Pieces("Expand from top right", OnePieceRectangle),
    /*  37 */ Pieces("Expand from top left", OnePieceRectangle),
    /*  38 */ Pieces("Expand from bottom left", OnePieceRectangle),
    /*  39 */ Pieces("Slide in from bottom right", OnePieceRectangle),
    /*  40 */ Pieces("Slide in from top right", OnePieceRectangle),
    /*  41 */ Pieces("Slide in from top left", OnePieceRectangle),
    /*  42 */ Pieces("Slide in from bottom left", OnePieceRectangle),
    /*  43 */ Pieces("Reveal from top left", OnePieceRectangle),
    /*  44 */ Pieces("Reveal from bottom left", OnePieceRectangle),
    /*  45 */ Pieces("Reveal from bottom right", OnePieceRectangle),
    /*  46 */ Pieces("Reveal from top right", OnePieceRectangle),
    /*  47 */ Pieces("Appear and Contract to top left", OnePieceRectangle),
    /*  48 */ Pieces("Appear and Contract to bottom left", OnePieceRectangle),
    /*  49 */ Pieces("Appear and Contract to bottom right", OnePieceRectangle),
    /*  50 */ Pieces("Appear and Contract to top right", OnePieceRectangle),
    /*  51 */ Pieces("Appear and Contract to middle", OnePieceRectangle),
    /*  52 */ Pieces("Expand out from centre", OnePieceRectangle),
    /*  53 */ Pieces("Reveal out from centre", OnePieceRectangle),
    /*  54 */ Pieces("Reveal in to centre", FourPieceRectangle),
    /*  55 */ Pieces("Quarters Reveal in to middle", FourPieceRectangle),
    /*  56 */ Pieces("Quarters Expand to middle", FourPieceRectangle),
    /*  57 */ Pieces("Quarters Slide in to middle", FourPieceRectangle),
    /*  58 */ Clipped("Curved Reveal from left", CurvedRegion),
    /*  59 */ Clipped("Curved Reveal from right", CurvedRegion),
    /*  60 */ Clipped("Bars in from right", BarsRegion),
    /*  61 */ Clipped("Bars in from left", BarsRegion),
    /*  62 */ Clipped("Bars left then right", BarsRegion),
    /*  63 */ Clipped("Bars right then left", BarsRegion),
    /*  64 */ Clipped("Bars from both sides", BarsRegion),
    /*  65 */ Clipped("Uneven shred from right", ShredRegion),
    /*  66 */ Clipped("Uneven shred from left", ShredRegion),
    /*  67 */ Clipped("Uneven shred out from middle (horiz)", ShredRegion),
    /*  68 */ Clipped("Uneven shred in to middle (horiz)", ShredRegion),
    /*  69 */ Clipped("Curved Reveal from top", CurvedRegion),
    /*  70 */ Clipped("Curved Reveal from bottom", CurvedRegion),
    /*  71 */ Clipped("Bars from bottom", BarsRegion),
    /*  72 */ Clipped("Bars from top", BarsRegion),
    /*  73 */ Clipped("Bars top then bottom", BarsRegion),
    /*  74 */ Clipped("Bars bottom then top", BarsRegion),
    /*  75 */ Clipped("Bars from top and bottom", BarsRegion),
    /*  76 */ Clipped("Unven shred from bottom", ShredRegion),
    /*  77 */ Clipped("Uneven shred from top", ShredRegion),
    /*  78 */ Clipped("Uneven shred from horizon", ShredRegion),
    /*  79 */ Clipped("Uneven shred in to horizon", ShredRegion),
    /*  80 */ Clipped("Curved reveal from top left", CurvedRegion),
    /*  81 */ Clipped("Curved reveal from top right", CurvedRegion),
    /*  82 */ Clipped("Curved reveal from bottom left", CurvedRegion),
    /*  83 */ Clipped("Curved reveal from bottom right", CurvedRegion),
    /*  84 */ Clipped("Circular reveal from centre", CurvedRegion),
    /*  85 */ Clipped("Circular reveal to centre", CurvedRegion),
    /*  86 */ Clipped("Criss Cross reveal from bottom right", BarsRegion),
    /*  87 */ Clipped("Criss Cross reveal from top right", BarsRegion),
    /*  88 */ Clipped("Criss Cross reveal from bottom left", BarsRegion),
    /*  89 */ Clipped("Criss Cross reveal from top left", BarsRegion),
    /*  90 */ Clipped("Criss Cross reveal bounce from top left", BarsRegion),
    /*  91 */ Clipped("Criss Cross reveal bounce from bottom left", BarsRegion),
    /*  92 */ Clipped("Criss Cross reveal bounce from top right", BarsRegion),
    /*  93 */ Clipped("Criss Cross reveal bounce from bottom right", BarsRegion),
    /*  94 */ Clipped("Criss Cross reveal from right top and bottom", BarsRegion),
    /*  95 */ Clipped("Criss Cross reveal from left top and bottom", BarsRegion),
    /*  96 */ Clipped("Criss Cross reveal from left right and bottom", BarsRegion),
    /*  97 */ Clipped("Criss Cross reveal from left right and top", BarsRegion),
    /*  98 */ Clipped("Criss Cross reveal from top left right and bottom", BarsRegion),
    /*  99 */ Clipped("Criss Cross reveal from bottom left top right", BarsRegion),
    /* 100 */ Clipped("Uneven shred from bottom and right", ShredRegion),
    /* 101 */ Clipped("Uneven shred from top and right", ShredRegion),
    /* 102 */ Clipped("Uneven shred from bottom and left", ShredRegion),
    /* 103 */ Clipped("Uneven shred from top and left", ShredRegion),
    /* 104 */ Clipped("Uneven shred from horiz and right", ShredRegion),
    /* 105 */ Clipped("Uneven shred from horiz and left", ShredRegion),
    /* 106 */ Clipped("Uneven shred from bottom and vert middle", ShredRegion),
    /* 107 */ Clipped("Uneven shred from top and vert middle", ShredRegion),
    /* 108 */ Clipped("Uneven shred from centre", ShredRegion),
    /* 109 */ Clipped("Uneven shred to centre", ShredRegion),
    /* 110 */ Clipped("Reveal diagonal from top left", DiagonalRegion),
    /* 111 */ Clipped("Reveal diagonal from top right", DiagonalRegion),
    /* 112 */ Clipped("Reveal diagonal from bottom left", DiagonalRegion),
    /* 113 */ Clipped("Reveal diagonal from bottom right", DiagonalRegion),
    /* 114 */ Clipped("Diagonal sweep from top left bottom right anticlockwise", DiagonalRegion),
    /* 115 */ Clipped("Diagonal sweep from top left bottom right clockwise", DiagonalRegion),
    /* 116 */ Clipped("Starburst clockwise from center", DiagonalRegion),
    /* 117 */ Clipped("Triangular shred to right", TriangularShredRegion),
    /* 118 */ Pixels("Fade", FadeStyle),
    /* 119 */ Pixels("Pivot from top left", PivotStyle),
    /* 120 */ Pixels("Pivot from bottom left", PivotStyle),
    /* 121 */ Pixels("Pivot from top right", PivotStyle),
    /* 122 */ Pixels("Pivot from bottom right", PivotStyle),
    /* 123 */ Clipped("Speckle appear from right", SpeckleRegion),
    /* 124 */ Clipped("Speckle appear from left", SpeckleRegion),
    /* 125 */ Clipped("Speckle appear from bottom", SpeckleRegion),
    /* 126 */ Clipped("Speckle appear from top", SpeckleRegion),
    /* 127 */ Clipped("Random squares appear", RandomSquaresRegion),
};

bool EqualIgnoringCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return i == a.size() && b[i] == '\0';
}

}  // namespace

const StyleRow& StyleRowOf(int style) { return kStyles[style]; }

const std::string& StyleNameOf(int style) {
  static const std::string empty;
  static const auto names = [] {
    std::vector<std::string> v;
    for (const StyleRow& row : kStyles) v.emplace_back(row.name);
    return v;
  }();
  if (style < 0 || style >= kStyleCount) return empty;
  return names[style];
}

int StyleByName(const std::string& name) {
  for (int i = 0; i < kStyleCount; ++i)
    if (EqualIgnoringCase(name, kStyles[i].name)) return i;
  return -1;
}

}  // namespace ls
