// PrintTextFile, PrintDataFile, PrintImageFile and PrintPage of a running publication.
#pragma once

#include "runproviders.h"

namespace vardeko {

class ReaderPrinting : public PrintProvider
{
public:
    void printTextFile(RunContext &run, const QString &header, const QString &footer, const QString &file,
                       bool dataFile) override;
    void printImageFile(RunContext &run, const QString &file, int percent) override;
    void printPage(RunContext &run, const Page &page) override;
};

// Makes the print commands print on the current printer (the printer setup first).
void installReaderPrinting();

} // namespace vardeko
