#include "data/Dataset.h"

#include <QDateTime>
#include <cmath>

namespace brelvo::data {

Dataset::Dataset(DatabasePtr db, QObject *parent) : QObject(parent), m_db(std::move(db))
{
    if (!m_db)
        throw DbError(DbError::Kind::NotOpen, QStringLiteral("Banco de dados não aberto."));
}

Dataset::~Dataset() = default;

namespace {

QString numberText(double d)
{
    if (std::isfinite(d) && d == std::round(d) && std::fabs(d) < 1e15)
        return QString::number(qint64(d));
    QString s = QString::number(d, 'g', 15);
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

} // namespace

QString Dataset::asString(const QString &field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return QString();
    switch (v.metaType().id()) {
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    case QMetaType::Double:
    case QMetaType::Float:
        return numberText(v.toDouble());
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return v.toString();
    }
}

double Dataset::asFloat(const QString &field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return 0;
    if (v.metaType().id() == QMetaType::QString) {
        QString s = v.toString().trimmed();
        if (s.contains(QLatin1Char(','))) {
            s.remove(QLatin1Char('.'));
            s.replace(QLatin1Char(','), QLatin1Char('.'));
        }
        bool ok = false;
        const double d = s.toDouble(&ok);
        if (!ok)
            throw DbError(DbError::Kind::InvalidValue,
                          QStringLiteral("'%1' não é um valor numérico válido.").arg(v.toString()));
        return d;
    }
    return v.toDouble();
}

qint64 Dataset::asInteger(const QString &field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return 0;
    switch (v.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::QString:
        return qRound64(asFloat(field));
    default:
        return v.toLongLong();
    }
}

QDate Dataset::asDate(const QString &field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return QDate();
    if (v.metaType().id() == QMetaType::QDate)
        return v.toDate();
    if (v.metaType().id() == QMetaType::QDateTime)
        return v.toDateTime().date();
    const QString s = v.toString().trimmed();
    QDate d = QDate::fromString(s, QStringLiteral("d/M/yyyy"));
    return d.isValid() ? d : QDate::fromString(s, Qt::ISODate);
}

QTime Dataset::asTime(const QString &field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return QTime();
    if (v.metaType().id() == QMetaType::QTime)
        return v.toTime();
    if (v.metaType().id() == QMetaType::QDateTime)
        return v.toDateTime().time();
    return QTime::fromString(v.toString().trimmed(), QStringLiteral("H:m:s"));
}

bool Dataset::asBool(const QString &field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return false;
    if (v.metaType().id() == QMetaType::QString) {
        const QString s = v.toString().trimmed().toUpper();
        return s == QLatin1String("S") || s == QLatin1String("T") || s == QLatin1String("TRUE") || s == QLatin1String("1");
    }
    return v.toBool();
}

void Dataset::readRows(int from, int count, const std::function<void()> &each)
{
    const Bookmark here = bookmark();
    moveTo(from);
    for (int i = 0; i < count && !eof(); ++i) {
        each();
        next();
    }
    if (here.isValid())
        gotoBookmark(here);
}

void Dataset::setValue(const QString &field, const QVariant &)
{
    throw DbError(DbError::Kind::Generic,
                  QStringLiteral("O campo %1 não pode ser alterado: o conjunto de dados é somente leitura.").arg(field));
}

void Dataset::enableControls()
{
    if (m_controlsDisabled == 0)
        return;
    if (--m_controlsDisabled == 0) {
        Q_EMIT dataChanged();
        Q_EMIT afterScroll();
    }
}

} // namespace brelvo::data
