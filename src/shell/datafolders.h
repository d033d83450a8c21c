// Where the program finds the data it ships: help pages and the sample publication.
#pragma once

#include <QString>

namespace vardeko {

enum class DataFolder {
    Help,   // help pages, one "<topic>.html" per topic number
    Sample, // the sample publication and its files
    Icons,  // the program's icon theme folder ("hicolor")
};

// An installed program reads share/vardeko beside its bin folder (wherever the
// prefix is); a program run from its build folder reads the source tree, so edited
// pages show without installing. Empty when neither place holds the folder.
QString dataFolder(DataFolder folder);

// The sample publication's file, or empty when it is not there.
QString samplePublication();

} // namespace vardeko
