#include "itemdata/InventoryDictionary.h"

#include "itemdata/qorDct.h"

namespace InventoryDictionary {

void widenGraphicField(qorDct& dictionary)
{
    dictionary.setDLen(GraphicFileField, GraphicFileLength);
}

CommandResult load(qorDct& dictionary, const QString& path)
{
    if (dictionary.setup(path, Type, Level) != qorDct::StatusOk)
        return CommandResult::failure(QStringLiteral("Can not read dictionary file: ") + path);
    CommandResult result;
    if (dictionary.setupms(path, true) != qorDct::StatusOk)
        result = CommandResult::notice(qorDct::MasterStoreWarning);
    widenGraphicField(dictionary);
    return result;
}

} // namespace InventoryDictionary
