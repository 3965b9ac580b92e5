// "Spalten zuordnen": how the columns of a planner's table become values.
// Each column is read as a value of its choice or carried through
// unchanged ("übernehmen"); for each column read as a list value (Baumart,
// Befahrbarkeit, ...) the words or codes found in it, with the list entry
// each stands for; the first rows as they were read. The mapping can be
// kept in a file and loaded from one.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QDialog>

#include "core/columns.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace forstrix::ui {

// What the dialog shows of a table: its column names, its first rows, and
// for every column the different texts found in it with how often.
struct TablePreview {
    QString file_name;
    std::vector<std::string> names;
    std::vector<std::vector<std::optional<std::string>>> rows;  // the first rows, each by column
    std::vector<std::vector<std::pair<std::string, std::size_t>>> texts;  // by column, in order of appearance
};
inline constexpr std::size_t kPreviewRows = 8;
inline constexpr std::size_t kMaxTexts = 200;  // a column with more different texts holds no codes

// The preview of a table of `rows` rows whose cell (row, column) `cell` gives.
template <typename Cell>
TablePreview make_preview(const QString& file_name, const std::vector<std::string>& names, std::size_t rows,
                          Cell cell) {
    TablePreview p{file_name, names, {}, std::vector<std::vector<std::pair<std::string, std::size_t>>>(names.size())};
    for (std::size_t r = 0; r < rows; ++r) {
        if (r < kPreviewRows) p.rows.emplace_back();
        for (std::size_t k = 0; k < names.size(); ++k) {
            const std::optional<std::string_view> text = cell(r, k);
            if (r < kPreviewRows) p.rows.back().emplace_back(text ? std::optional<std::string>(*text) : std::nullopt);
            auto& seen = p.texts[k];
            if (!text || text->empty() || seen.size() > kMaxTexts) continue;
            auto it = seen.begin();
            while (it != seen.end() && it->first != *text) ++it;
            if (it != seen.end()) ++it->second;
            else seen.emplace_back(std::string(*text), 1);
        }
    }
    return p;
}

// Whether the dialog has something to ask: a column that is no value, no
// result and no planner's column, or a header that is refused as it stands.
bool needs_mapping(const columns::Header& header);

class ColumnMappingDialog : public QDialog {
    Q_OBJECT
public:
    ColumnMappingDialog(TablePreview preview, const columns::Mapping& initial, QWidget* parent = nullptr);

    // The mapping as the dialog shows it now.
    columns::Mapping mapping() const;
    void set_mapping(const columns::Mapping& mapping);

private:
    void build();
    void fill_columns();
    void fill_codes();
    void fill_preview();
    void update_problems();
    void load_file();
    void save_file();
    const ValueInfo* role(std::size_t column) const;

    TablePreview preview_;
    columns::Mapping initial_;
    // The list entry the planner gave a text of a list value: (value, text) -> number.
    std::map<std::pair<std::string, std::string>, double> codes_chosen_;
    std::vector<QComboBox*> roles_;
    QTableWidget* columns_ = nullptr;
    QTableWidget* codes_ = nullptr;
    QTableWidget* rows_ = nullptr;
    QLabel* problems_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace forstrix::ui
