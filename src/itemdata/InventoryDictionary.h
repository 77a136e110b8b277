#pragma once

#include "base/CommandResult.h"

#include <QString>
#include <QtGlobal>

class qorDct;

// The section of the POS data dictionary the program reads (inventory, every
// level), and the one change it makes after loading: the item graphic path
// is longer than POS dictionaries allow for field 182.
namespace InventoryDictionary {

inline const QString Type = QStringLiteral("INV");
constexpr qint16 Level = 99;
constexpr qint16 GraphicFileField = 182;
constexpr qint16 GraphicFileLength = 160;

void widenGraphicField(qorDct& dictionary);

// Loads the dictionary file without asking anything: a failure when its
// inventory section cannot be read, a notice (the dictionary is usable) when
// the master/store block is missing, done otherwise. The graphic field is
// widened in both usable cases.
CommandResult load(qorDct& dictionary, const QString& path);

} // namespace InventoryDictionary
