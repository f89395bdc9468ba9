#pragma once
// A small in-memory cursor for the core tests. Rows are either stored or,
// for very large sets, computed from the row number.

#include "data/Dataset.h"

#include <QList>
#include <QVariantList>
#include <functional>

class MemDataset : public brelvo::data::Dataset {
    Q_OBJECT
public:
    struct Field {
        QString name;
        brelvo::data::FieldType type;
        int size = 0;
    };

    MemDataset(brelvo::data::DatabasePtr db, QList<Field> fields, QObject *parent = nullptr)
        : Dataset(std::move(db), parent), m_fields(std::move(fields)) {}

    // Stored rows.
    void addRow(const QVariantList &values) { m_rows << values; }
    // Computed rows: `count` rows whose values come from `gen(row, column)`.
    void setGenerated(int count, std::function<QVariant(int, int)> gen) { m_genCount = count; m_gen = std::move(gen); }
    void setEditable(bool on) { m_editable = on; }

    int moves = 0;        // moveTo calls
    int posts = 0;
    int recNos = 0;       // position look-ups

    void open() override { m_state = State::Browse; m_pos = size() ? 0 : -1; m_eof = size() == 0; Q_EMIT afterOpen(); Q_EMIT stateChanged(m_state); }
    void close() override { Q_EMIT beforeClose(); m_state = State::Inactive; Q_EMIT stateChanged(m_state); }
    State state() const override { return m_state; }

    void first() override { browse(); setPos(size() ? 0 : -1); m_bof = true; }
    void last() override { browse(); setPos(size() - 1); m_eof = true; }
    void next() override
    {
        browse();
        if (m_pos + 1 < size()) setPos(m_pos + 1);
        else m_eof = true;
    }
    void prior() override
    {
        browse();
        if (m_pos > 0) setPos(m_pos - 1);
        else m_bof = true;
    }
    bool eof() const override { return m_eof; }
    bool bof() const override { return m_bof; }
    bool isEmpty() const override { return size() == 0; }
    int recordCount() override { return size(); }
    int recNo() override
    {
        ++recNos;
        return m_pos;
    }
    void moveTo(int r) override
    {
        ++moves;
        browse();
        setPos(qBound(0, r, size() - 1));
    }
    brelvo::data::Bookmark bookmark() const override
    {
        return m_pos < 0 ? brelvo::data::Bookmark{} : brelvo::data::Bookmark{{m_pos}};
    }
    void gotoBookmark(const brelvo::data::Bookmark &b) override { browse(); setPos(b.key.value(0).toInt()); }

    QStringList fieldNames() const override
    {
        QStringList n;
        for (const auto &f : m_fields) n << f.name;
        return n;
    }
    bool hasField(const QString &name) const override { return col(name) >= 0; }
    brelvo::data::FieldType fieldType(const QString &name) const override { return m_fields.value(col(name)).type; }
    int fieldSize(const QString &name) const override { return m_fields.value(col(name)).size; }
    QVariant value(const QString &field) const override
    {
        const int c = col(field);
        if (c < 0) throw brelvo::data::DbError(brelvo::data::DbError::Kind::FieldNotFound, field);
        if (m_state == State::Edit || m_state == State::Insert) return m_buffer.value(c);
        return stored(m_pos, c);
    }
    void setValue(const QString &field, const QVariant &v) override
    {
        if (m_state != State::Edit && m_state != State::Insert)
            throw brelvo::data::DbError(brelvo::data::DbError::Kind::Generic, QStringLiteral("não está em edição"));
        m_buffer[col(field)] = v;
        Q_EMIT fieldChanged(field);
    }
    void refresh() override { Q_EMIT dataChanged(); }

    Q_INVOKABLE void edit()
    {
        if (!m_editable || m_state != State::Browse || m_pos < 0) return;
        m_buffer.clear();
        for (int c = 0; c < m_fields.size(); ++c) m_buffer << stored(m_pos, c);
        m_state = State::Edit;
        Q_EMIT stateChanged(m_state);
    }
    Q_INVOKABLE void post()
    {
        if (m_state != State::Edit) return;
        m_rows[m_pos] = m_buffer;
        ++posts;
        m_state = State::Browse;
        Q_EMIT stateChanged(m_state);
        Q_EMIT dataChanged();
    }
    Q_INVOKABLE void cancel()
    {
        if (m_state != State::Edit) return;
        m_state = State::Browse;
        Q_EMIT stateChanged(m_state);
        Q_EMIT afterScroll();
    }
    QVariant stored(int row, int c) const
    {
        if (row < 0) return QVariant();
        if (m_gen) return m_gen(row, c);
        return m_rows.value(row).value(c);
    }

private:
    int size() const { return m_gen ? m_genCount : int(m_rows.size()); }
    int col(const QString &name) const
    {
        for (int i = 0; i < m_fields.size(); ++i)
            if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0) return i;
        return -1;
    }
    void browse()
    {
        if (m_state == State::Edit) post();
    }
    void setPos(int p)
    {
        m_pos = p;
        m_eof = m_bof = size() == 0;
        if (!controlsDisabled()) Q_EMIT afterScroll();
    }

    QList<Field> m_fields;
    QList<QVariantList> m_rows;
    int m_genCount = 0;
    std::function<QVariant(int, int)> m_gen;
    QVariantList m_buffer;
    State m_state = State::Inactive;
    int m_pos = -1;
    bool m_eof = true, m_bof = true;
    bool m_editable = true;
};
