#pragma once

#include <cstddef>
#include <string>

// A Windows metafile (with or without its placeable header) converted to an SVG document.
// Plain C++ on purpose: the metafile library's headers define names (U8, U16, ...) that
// break Qt's headers, so its only user stays free of Qt.
// Metafiles with more records than this are refused: drawing them would take minutes and far
// more memory than their size suggests.
constexpr std::size_t MostMetafileRecords = 250000;

struct TWmfSvg {
    std::string Svg;        // empty when the metafile was rejected
    bool TooManyRecords = false; // rejected for having more than MostMetafileRecords
    double WidthInches = 0; // the picture's frame
    double HeightInches = 0;
};

// Never throws; bytes the library rejects (or that are not a complete metafile) give an
// empty Svg. Safe to call from several threads: conversions run one at a time.
TWmfSvg WmfToSvg(const unsigned char* bytes, std::size_t size);
