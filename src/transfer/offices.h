#pragma once
// The offices directly below this one, which send it their upload workbooks, and which
// of them a record comes from: at 国家级汇总 the provinces, 新疆兵团 and the three central
// enterprises; at 省级汇总 the province's cities; at 地级汇总 the city's counties; at a
// central enterprise's level the provinces, for that enterprise's records. A county
// office has none below it. Places are told apart by 行政区划代码, never by name.
#include <QHash>
#include <QList>
#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace kestrova {
class Database;
struct TaskRecord;
} // namespace kestrova

namespace kestrova::transfer {

struct Office {
    QString key;  // its code prefix (2, 4 or 6 digits), or the name of 新疆兵团 or a central enterprise
    QString name; // as the user knows it
};

// What of a record says where it comes from: 行政区划代码, 央企名称 and 新疆兵团, as UTF-8.
struct RecordOrigin {
    std::string_view code;
    std::string_view central;
    std::string_view corps;
};

class OfficeMap {
public:
    // For the task record's level and place; without a task record there is no office
    // below and every record lies within the area.
    OfficeMap(Database &db, const std::optional<TaskRecord> &task);

    const QList<Office> &offices() const { return m_offices; }
    // The office below that a record belongs to, or -1 for none of them.
    int officeOf(const RecordOrigin &origin) const;
    // The office below that a stored key stands for: its own key, or a longer code
    // within it (a workbook logged at a lower level), or -1.
    int officeOfKey(const QString &key) const;
    // Whether a record lies within this office's own area.
    bool withinArea(const RecordOrigin &origin) const;
    // Whether the area is a central enterprise's (by 央企名称) rather than a place.
    bool byEnterprise() const { return !m_central.empty(); }
    // This office's area as the user knows it: "河南省", "河南省郑州市", "全国".
    QString areaName() const { return m_areaName; }
    // The place a division code stands for ("湖北省武汉市江岸区"), or empty when the
    // code is none of the reference tables'.
    QString placeName(const QString &code) const;

private:
    enum class Below { None, Provinces, Cities, Counties, CentralProvinces };
    Below m_below = Below::None;
    int m_prefix = 0; // characters of a code that name the office below
    std::string m_area; // code prefix of the office's own area; empty: everywhere
    std::string m_central; // a central enterprise's office: its 央企名称
    QString m_areaName;
    QList<Office> m_offices;
    std::unordered_map<std::string, int> m_byKey;
    QHash<QString, QString> m_places; // code or prefix -> place name

    int byKey(std::string_view key) const;
};

} // namespace kestrova::transfer
