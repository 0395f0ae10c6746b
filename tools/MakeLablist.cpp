// make_lablist CATALOGUE.csv FOLDER
// Writes the label stock catalogue LABLIST.DB and its index LABLIST.PX into FOLDER.

#include "LabelCatalogue.h"

#include <QFile>

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_lablist CATALOGUE.csv FOLDER\n");
        return 2;
    }
    const QString source = QFile::decodeName(argv[1]);
    try {
        QFile file(source);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "%s: cannot be read\n", argv[1]);
            return 1;
        }
        const std::vector<TLabelStockRow> rows = LabelCatalogue::Read(file.readAll());
        LabelCatalogue::Write(rows, QFile::decodeName(argv[2]));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[1], e.what());
        return 1;
    }
}
