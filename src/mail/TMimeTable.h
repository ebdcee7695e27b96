#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

class QMimeDatabase;

/**
 * @short Content types by file extension, for the attachments.
 *
 * One row per extension: the extension with its dot and the content type.
 * Names compare without regard to case and the first row of a name wins.
 */
class TMimeTable {
public:
    /** (name, value) pairs in the order they are applied. */
    using Pairs = QList<std::pair<QString, QString>>;

    /** The 136 fixed rows, in their order (two names occur twice). */
    static const QStringList &FixedRows();

    /** The content type of a file by its extension (with the dot, lower-cased); empty when no row names it. */
    QString Lookup(const QString &fileName) const;
    /** The value of the first row with that name; empty when there is none. */
    QString Value(const QString &name) const;
    /** Replaces the value of the first row with that name, or appends a row. */
    void Set(const QString &name, const QString &value);

    /** The rows as "name=value" lines. */
    QStringList Rows() const;
    int Count() const { return static_cast<int>(m_rows.size()); }
    void Clear();

    /** Appends the fixed rows, then the system's MIME database. */
    void Fill();
    void AddFixedRows();
    /**
     * Applies what the system knows in two passes, each worked through from its
     * last pair to its first: extensions with their content type, then content
     * types with their one main extension (so the earlier content type of two
     * wins, and this pass overrides the first).
     */
    void AddSystemTypes(const Pairs &extensionTypes, const Pairs &typeExtensions);

    /** Every extension the database knows (".ext", ascending) with the content type it gives a file so named. */
    static Pairs SystemExtensionTypes(const QMimeDatabase &db);
    /** Every content type (ascending) that names a main extension, with that extension (".ext"). */
    static Pairs SystemTypeExtensions(const QMimeDatabase &db);

private:
    QList<std::pair<QString, QString>> m_rows;
    QHash<QString, qsizetype> m_index; // lower-cased name -> its first row
};
