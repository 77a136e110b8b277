#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

class QIODevice;

// The POS data dictionary: per POS field number, a description, an
// alphanumeric flag, a length in characters and whether the field is shared
// by all stores (master) or kept per store. Loaded from one section of a
// ".dct" file; the data-file reader cuts every value to the field's length.
//
// Every property takes a POS field number and turns it into an index: the
// remainder of the number divided by 1000, with the number's sign (1182 and
// 182 share an entry). An index outside 0..199 reads entry 0 and writes
// nothing. Loads report 16-bit status codes rather than raising errors.
class qorDct
{
public:
    static constexpr qint16 StatusOk = 0;
    static constexpr qint16 StatusUnreadable = 1;
    static constexpr qint16 StatusNotFound = 2;

    qorDct();

    qint16 dAlpha(qint16 ix) const;
    void setDAlpha(qint16 ix, qint16 value);
    QString dDesc(qint16 ix) const;
    void setDDesc(qint16 ix, const QString& value);
    qint16 dLen(qint16 ix) const;
    void setDLen(qint16 ix, qint16 value);
    bool dMaster(qint16 ix) const;
    void setDMaster(qint16 ix, bool value);
    bool dStDat(qint16 ix) const { return !dMaster(ix); }
    void setDStDat(qint16 ix, bool value) { setDMaster(ix, !value); }
    // The highest field number defined by the last setup (0 before any).
    qint16 dLast() const { return m_last; }

    // Loads the field definitions of every section named Typ (any case) whose
    // level is at most lev. 0 loaded, 2 nothing inside a selected section,
    // 1 the file could not be opened or read (or held a number too large).
    qint16 setup(const QString& fnam, const QString& Typ, qint16 lev);
    // Same, from bytes already in memory (the file reader's core).
    qint16 setupFromData(const QByteArray& data, const QString& Typ, qint16 lev);

    // Loads the master/store block: 0 at least one line inside the block,
    // 2 no block or nothing after %BEGIN%, 1 unreadable.
    qint16 setupms(const QString& fnam, bool prisame);
    qint16 setupmsFromData(const QByteArray& data, bool prisame);

    static const QString MasterStoreWarning;
    static const QString CannotReadMessage;

private:
    static constexpr int Entries = 200;
    void clearEntries();
    qint16 readSections(QIODevice& device, const QString& Typ, qint16 lev);
    qint16 readMasterStore(QIODevice& device, bool prisame);
    // -1 for a number outside 0..199 after the index rule.
    static int indexOf(qint16 ix);

    std::array<qint16, Entries> m_alpha {};
    std::array<QString, Entries> m_description {};
    std::array<qint16, Entries> m_length {};
    std::array<bool, Entries> m_master {};
    qint16 m_maxIndex = Entries - 1;
    qint16 m_last = 0;
};
