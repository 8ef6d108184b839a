#include "maintenance/DemoData.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/StoredDate.h"
#include "data/TransactionGuard.h"
#include "maintenance/DemoCatalogue.h"
#include "platform/Clock.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>
#include <QRadialGradient>
#include <QSet>
#include <QSqlQuery>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <memory>

namespace DemoData {

namespace {

QString u(const char* text)
{
    return QString::fromUtf8(text);
}

QStringList words(const char* text)
{
    return u(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

const QString kNoDate = StoredDate::noDateText();
const QString kOpenEnd = StoredDate::iso(StoredDate::kOpenEnd);
const QString kAdmin = QStringLiteral("admin");

double cents(double value)
{
    return std::round(value * 100.0) / 100.0;
}

// splitmix64: the same sequence on every platform and Qt version, which the
// demo's reproducibility rests on.
class Rng
{
public:
    explicit Rng(quint64 seed) : m_state(seed) {}

    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return n <= 1 ? 0 : int(next() % quint64(n)); }
    int between(int low, int high) { return high <= low ? low : low + below(high - low + 1); }
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    double real(double low, double high) { return low + (high - low) * unit(); }
    bool chance(double p) { return unit() < p; }
    template <class T> const T& pick(const QList<T>& list)
    {
        return list.at(below(int(list.size())));
    }

private:
    quint64 m_state;
};

// Date texts by day offset from today; the fill writes a few million of them.
class Days
{
public:
    explicit Days(const QDate& today) : m_today(today)
    {
        m_text.reserve(kBefore + kAfter + 1);
        for (int d = -kBefore; d <= kAfter; ++d)
            m_text << today.addDays(d).toString(QStringLiteral("yyyy-MM-dd"));
    }
    QString text(int offset) const
    {
        if (offset >= -kBefore && offset <= kAfter)
            return m_text.at(offset + kBefore);
        return date(offset).toString(QStringLiteral("yyyy-MM-dd"));
    }
    QDate date(int offset) const { return m_today.addDays(offset); }

private:
    static constexpr int kBefore = 4000;
    static constexpr int kAfter = 2000;
    QDate m_today;
    QStringList m_text;
};

// One prepared INSERT per table, bound afresh for every row. Columns the
// demo leaves out get what an entry screen writes for an empty field: empty
// text, zero, the no-date value.
class Inserter
{
public:
    bool prepare(Database& db, const char* table, const char* columns, QString* error)
    {
        const Schema::Table* t = Schema::findTable(QString::fromLatin1(table));
        if (!t) {
            *error = QStringLiteral("未知数据表 %1").arg(QString::fromLatin1(table));
            return false;
        }
        const QStringList given =
            QString::fromLatin1(columns).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QStringList names, values;
        for (const QString& c : given) {
            if (!Schema::findColumn(t->name, c)) {
                *error = QStringLiteral("数据表 %1 没有字段 %2").arg(t->name, c);
                return false;
            }
            names << c;
            values << QStringLiteral("?");
        }
        for (const Schema::Column& c : t->columns) {
            if (c.type == Schema::ColumnType::Counter ||
                given.contains(c.name, Qt::CaseInsensitive))
                continue;
            names << c.name;
            switch (c.type) {
            case Schema::ColumnType::Text:
            case Schema::ColumnType::Memo:
                values << QStringLiteral("''");
                break;
            case Schema::ColumnType::DateTime:
                values << QLatin1Char('\'') + kNoDate + QLatin1Char('\'');
                break;
            case Schema::ColumnType::Blob:
                values << QStringLiteral("NULL");
                break;
            default:
                values << QStringLiteral("0");
                break;
            }
        }
        m_count = int(given.size());
        QString why;
        m_query = db.prepare(
            QStringLiteral("INSERT INTO %1(%2) VALUES(%3)")
                .arg(t->name, names.join(QLatin1Char(',')), values.join(QLatin1Char(','))),
            {}, &why);
        if (!why.isEmpty()) {
            *error = why;
            return false;
        }
        return true;
    }

    Inserter& operator<<(const QVariant& value)
    {
        m_query.bindValue(m_next++, value);
        return *this;
    }
    // A null QString would be stored as NULL, and screens look for ''.
    Inserter& operator<<(const QString& value)
    {
        m_query.bindValue(m_next++, value.isNull() ? QStringLiteral("") : value);
        return *this;
    }
    Inserter& operator<<(const QByteArray& bytes)
    {
        m_query.bindValue(m_next++, QVariant(bytes));
        return *this;
    }

    bool exec(Database& db, QString* error)
    {
        if (m_next != m_count) {
            *error = QStringLiteral("演示数据字段数不符: %1").arg(m_query.lastQuery());
            return false;
        }
        m_next = 0;
        return db.exec(m_query, error);
    }

private:
    QSqlQuery m_query;
    int m_count = 0;
    int m_next = 0;
};

struct TreeNode
{
    QString code;
    QString name;
};

struct Person
{
    QString name;
    QString dept;
};

struct Client
{
    QString name;
    QString linkman;
    QString phone;
    QString mobile;
    QString address;
    int city;
};

struct Project
{
    QString code;
    QString name;
    QString site;
};

struct Goods
{
    QString code;
    QString name;
    QString type;
    QString model;
    QString unit;
    double price;
};

struct Line
{
    int goods;
    double amount;
    double price;
};

struct Scan
{
    QString ext;
    QByteArray bytes;
};

constexpr int kDefaultGoods = 200;

int defaultClients(int contracts)
{
    return std::max(30, contracts / 20);
}

class Generator
{
public:
    Generator(Database& db, const Options& options, QString* error)
        : m_db(db), m_rng(quint64(options.seed) * 0x9E3779B97F4A7C15ULL + 1),
          m_days(Clock::today()), m_contracts(options.contracts),
          m_goodsTotal(options.goods >= 0 ? options.goods : kDefaultGoods),
          m_clientsTotal(options.clients >= 0 ? options.clients
                                              : defaultClients(options.contracts)),
          m_error(error)
    {
    }

    bool run()
    {
        // Rows beyond the usual counts come after the contracts, so that the
        // contracts stay what they are without them.
        const int goodsFirst = std::min(m_goodsTotal, kDefaultGoods);
        const int clientsFirst = std::min(m_clientsTotal, defaultClients(m_contracts));
        return prepareInserters() && company() && trees() && people() && codeLists() &&
               clients(1, clientsFirst) && projects() && goods(0, goodsFirst) && contracts() &&
               clients(clientsFirst, m_clientsTotal) && goods(goodsFirst, m_goodsTotal);
    }

private:
    // ---- helpers ------------------------------------------------------

    QString person()
    {
        QString name = m_rng.pick(m_surnames);
        name += m_rng.pick(m_given);
        if (m_rng.chance(0.6))
            name += m_rng.pick(m_given);
        return name;
    }

    QString digits(int count)
    {
        QString s;
        s.reserve(count);
        for (int i = 0; i < count; ++i)
            s += QLatin1Char(char('0' + m_rng.below(10)));
        return s;
    }

    QString mobile()
    {
        static const char* const kHeads[] = {"133", "135", "136", "138", "139", "150",
                                             "152", "158", "177", "180", "186", "189"};
        QString s = QString::fromLatin1(kHeads[m_rng.below(12)]);
        s += digits(8);
        return s;
    }

    QString landline(int city)
    {
        QString s = QString::fromLatin1(kCities[city].areaCode);
        s += QLatin1Char('-');
        s += QLatin1Char(char('2' + m_rng.below(7)));
        s += digits(QLatin1String(kCities[city].areaCode).size() == 3 ? 7 : 6);
        return s;
    }

    QString address(int city)
    {
        QString s = u(kCities[city].name);
        s += u("市");
        s += m_rng.pick(m_districts);
        s += m_rng.pick(m_roads);
        s += QString::number(m_rng.between(1, 999));
        s += u("号");
        return s;
    }

    QString clock()
    {
        const int s = m_rng.between(8 * 3600, 18 * 3600);
        char buf[16];
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
        return QString::fromLatin1(buf);
    }

    QString stamp(int day) { return m_days.text(day) + QLatin1Char(' ') + clock(); }

    static QString path(const QString& parent, const QString& name)
    {
        return (parent.isEmpty() ? QStringLiteral("\\\\") : parent + QLatin1Char('\\')) + name;
    }

    // ---- reference data -------------------------------------------------

    bool prepareInserters()
    {
        m_surnames =
            words("王 李 张 刘 陈 杨 黄 赵 吴 周 徐 孙 马 朱 胡 郭 何 高 林 罗 郑 梁 谢 宋 "
                  "唐 许 韩 冯 邓 曹 彭 曾 田 董 潘 袁 蔡 蒋 余 于 杜 叶 程 魏 苏 吕 丁 任 "
                  "沈 姚 卢 傅 钟 姜 崔 谭 廖 范 汪 陆 金 石 戴 贾 韦 夏 邱 方 侯 邹 熊 孟 "
                  "秦 白 江 薛 尹 段 雷 黎 史 龙 陶 贺 顾 毛 郝 龚 邵 万 钱 严 欧阳 司马");
        m_given = words("伟 芳 娜 敏 静 丽 强 磊 军 洋 勇 艳 杰 娟 涛 明 超 霞 平 刚 华 国 志 东 "
                        "海 燕 文 斌 宇 浩 鹏 辉 欣 婷 雪 琳 晨 凯 俊 峰 亮 红 玲 慧 健 波 宁 丹 "
                        "佳 颖 春 秋 梅 兰 英 立 新 建 嘉 子 思 雨 晓 振 永 德 成 荣 博 龙 云 飞");
        m_districts = words("高新区 经济开发区 东城区 西城区 南湖区 北湖区 新城区 江北区 滨湖区 "
                            "城关区 临港新区 科技园区");
        m_roads = words("人民路 解放路 建设路 中山路 长江路 黄河路 新华路 文化路 学府路 工业大道 "
                        "科技大道 环城路 迎宾大道 湖滨路 和平路 光明路 振兴路 创业路");

        struct Target
        {
            Inserter* ins;
            const char* table;
            const char* columns;
        };
        const Target targets[] = {
            {&m_treeIns, "t_treecode", "F_code F_name F_likecode F_flag"},
            {&m_codeIns, "t_code", "F_type F_name"},
            {&m_employeeIns, "t_employee", "F_name"},
            {&m_clientIns, "Client",
             "F_Code F_Name F_Type F_LinkMan F_Phone F_Address F_Postcode F_fax F_handPhone "
             "F_Mem F_useFlag F_bank F_account F_ratecode F_homepage F_Email F_Enrol"},
            {&m_projectIns, "GCitem",
             "F_code F_name F_type F_FZRemp F_GCphone F_GCname F_GCpos F_GCtype F_GCprice "
             "F_fromDate F_toDate F_memo1 F_useFlag"},
            {&m_gcDetailIns, "t_GCdetail", "F_caption F_filePath F_memo1 F_GCcode"},
            {&m_goodsIns, "t_goods", "F_code F_name F_type F_spec F_unit F_memo1 F_price F_Flag"},
            {&m_contractIns, "Contract",
             "F_cltID F_code F_name F_type F_empname F_date F_totalPrice F_beginDate F_endDate "
             "F_status F_memo1 F_filePath F_memo2 F_GDflag F_GDpath F_editDate F_client1 "
             "F_client2 F_FZR1 F_FZR2 F_SFflag F_priceunit F_dept F_ZF1 F_ZF2 F_RQ1 F_SZ1 "
             "F_SHemp F_GCcode F_GCname"},
            {&m_skIns, "t_SKrec",
             "F_cltID F_date F_OldCode F_YSprice F_YSdate F_SKprice F_SKdate F_KPprice F_memo1 "
             "F_operName"},
            {&m_zxIns, "t_ZXrec",
             "F_Memo1 F_empName F_editDate F_cltID F_ZXdate F_ZXmem F_GZL F_JD F_YWemp"},
            {&m_txIns, "t_TXrec",
             "F_cltID F_awokeDate F_awokeTime F_memo1 F_editDate F_operName F_caption"},
            {&m_bgIns, "t_BGrec",
             "F_cltID F_HTcode F_HTname F_BGitem F_BGreason F_BGbegin F_BGend F_STemp F_STdate "
             "F_PZemp F_PZdate F_operName F_editDate F_memo1 F_BGdate"},
            {&m_tpIns, "t_TPrec", "F_cltID F_FileName F_FileExt F_HTimage"},
            {&m_fjIns, "t_FJrec",
             "F_cltID F_fileName F_filePos F_fileExt F_memo1 F_empName F_editDate F_fileOLE"},
            {&m_gdIns, "t_GDrec",
             "F_cltID F_GDcode F_GDname F_type F_spec F_unit F_amount F_price F_totalprice "
             "F_memo1"},
            {&m_fhIns, "t_FHrec",
             "F_cltID F_FHemp F_FHdate F_SHdate F_SHemp F_SHaddress F_SHphone F_SHhandPhone "
             "F_memo1 F_editDate F_mainID F_code F_OLDcode F_totalPrice F_operName"},
            {&m_fhLineIns, "t_FHdetail",
             "F_GDcode F_GDname F_type F_spec F_unit F_amount F_price F_totalprice F_memo1 F_code"},
        };
        for (const Target& s : targets) {
            if (!s.ins->prepare(m_db, s.table, s.columns, m_error))
                return false;
        }
        return true;
    }

    bool company()
    {
        if (!m_db.exec(QStringLiteral("UPDATE SysInfo SET F_Code = :code, F_Name = :addr, "
                                      "F_Manager = :manager, F_Phone = :phone, F_HandPhone = "
                                      ":mobile, F_Email = :mail, F_Homepage = :home, F_Enroler = "
                                      ":legal, F_Mem = :memo"),
                       {{QStringLiteral(":code"), companyName()},
                        {QStringLiteral(":addr"), u("杭州市滨江区江南大道1888号璞朔大厦")},
                        {QStringLiteral(":manager"), u("沈建国")},
                        {QStringLiteral(":phone"), QStringLiteral("0571-86881234")},
                        {QStringLiteral(":mobile"), QStringLiteral("13905718888")},
                        {QStringLiteral(":mail"), QStringLiteral("office@pushuo-demo.cn")},
                        {QStringLiteral(":home"), QStringLiteral("www.pushuo-demo.cn")},
                        {QStringLiteral(":legal"), u("沈建国")},
                        {QStringLiteral(":memo"),
                         u("房屋建筑工程施工总承包一级企业，兼营建材贸易与信息技术服务。"
                           "本数据库为演示数据，公司及人员均为虚构。")}},
                       m_error))
            return false;
        // The custom fields the demo fills, so that they show up with captions.
        const QList<QPair<int, QString>> captions{
            {1, u("招标编号")}, {2, u("付款方式")}, {6, u("履约保证金")}, {9, u("验收日期")}};
        for (const auto& [slot, caption] : captions) {
            if (!m_db.exec(QStringLiteral("UPDATE KeyValue SET F_Value = :v WHERE F_ID = (SELECT "
                                          "F_ID FROM KeyValue ORDER BY F_ID LIMIT 1 OFFSET :n)"),
                           {{QStringLiteral(":v"), caption}, {QStringLiteral(":n"), slot - 1}},
                           m_error))
                return false;
        }
        return true;
    }

    // Adds a tree given in code order; returns the name paths by node name.
    bool tree(const char* flag, const QList<TreeNode>& nodes, QHash<QString, QString>* paths)
    {
        QHash<QString, QString> byCode;
        for (const TreeNode& n : nodes) {
            const QString p = path(byCode.value(n.code.left(n.code.size() - 3)), n.name);
            byCode.insert(n.code, p);
            if (paths)
                paths->insert(n.name, p);
            m_treeIns << n.code << n.name << p << QString::fromLatin1(flag);
            if (!m_treeIns.exec(m_db, m_error))
                return false;
        }
        return true;
    }

    static QList<TreeNode> nodes(std::initializer_list<std::pair<const char*, const char*>> list)
    {
        QList<TreeNode> out;
        for (const auto& [code, name] : list)
            out << TreeNode{QString::fromLatin1(code), u(name)};
        return out;
    }

    bool trees()
    {
        // kTypes lists each group's types together, so codes come out in order.
        QList<TreeNode> typeNodes;
        QStringList groups;
        int child = 0;
        for (const TypeDef& t : kTypes) {
            const QString group = u(t.group);
            if (!groups.contains(group)) {
                groups << group;
                child = 0;
                typeNodes << TreeNode{
                    QString::number(groups.size()).rightJustified(3, QLatin1Char('0')), group};
            }
            typeNodes << TreeNode{typeNodes.constLast().code.left(3) +
                                      QString::number(++child).rightJustified(3, QLatin1Char('0')),
                                  u(t.name)};
        }
        QHash<QString, QString> typePaths;
        if (!tree("type", typeNodes, &typePaths))
            return false;
        for (const TypeDef& t : kTypes)
            m_typePaths << typePaths.value(u(t.name));

        QHash<QString, QString> cltPaths;
        if (!tree("clttype",
                  nodes({{"001", "客户"},
                         {"001001", "政府机关"},
                         {"001002", "事业单位"},
                         {"001003", "企业客户"},
                         {"002", "供应商"},
                         {"002001", "材料供应商"},
                         {"002002", "设备供应商"},
                         {"002003", "服务供应商"},
                         {"003", "分包单位"},
                         {"003001", "劳务分包"},
                         {"003002", "专业分包"},
                         {"004", "合作伙伴"},
                         {"005", "本单位"}}),
                  &cltPaths))
            return false;
        m_cltPaths = cltPaths;

        QHash<QString, QString> gcPaths;
        if (!tree("gctype",
                  nodes({{"001", "房屋建筑"},
                         {"001001", "住宅"},
                         {"001002", "商业"},
                         {"001003", "办公"},
                         {"001004", "公共建筑"},
                         {"002", "市政工程"},
                         {"002001", "道路"},
                         {"002002", "桥梁"},
                         {"002003", "给排水"},
                         {"003", "工业建筑"},
                         {"003001", "厂房"},
                         {"003002", "仓储"},
                         {"004", "水利工程"}}),
                  &gcPaths))
            return false;
        m_gcPaths = gcPaths;

        return tree("dept",
                    nodes({{"001", "工程管理中心"},
                           {"001001", "工程一部"},
                           {"001002", "工程二部"},
                           {"002", "经营中心"},
                           {"002001", "采购部"},
                           {"002002", "销售部"},
                           {"002003", "市场部"},
                           {"003", "技术中心"},
                           {"003001", "技术部"},
                           {"004", "职能部门"},
                           {"004001", "财务部"},
                           {"004002", "行政部"}}),
                    nullptr);
    }

    bool people()
    {
        QSet<QString> used;
        auto fresh = [&] {
            QString name;
            do {
                name = person();
            } while (used.contains(name));
            used.insert(name);
            return name;
        };
        const QList<QPair<const char*, int>> sales{{"工程一部", 4}, {"工程二部", 3}, {"采购部", 3},
                                                   {"销售部", 3},   {"市场部", 2},   {"技术部", 3}};
        for (const auto& [dept, count] : sales) {
            for (int i = 0; i < count; ++i) {
                const Person p{fresh(), u(dept)};
                m_salesByDept[p.dept] << int(m_sales.size());
                m_sales << p;
            }
        }
        for (int i = 0; i < 6; ++i)
            m_shippers << fresh();
        for (int i = 0; i < 6; ++i)
            m_staff << fresh();
        QStringList all;
        for (const Person& p : m_sales)
            all << p.name;
        all << m_shippers << m_staff;
        for (const QString& name : all) {
            m_employeeIns << name;
            if (!m_employeeIns.exec(m_db, m_error))
                return false;
        }
        return true;
    }

    bool codeList(const char* type, const QStringList& names)
    {
        for (const QString& name : names) {
            m_codeIns << QString::fromLatin1(type) << name;
            if (!m_codeIns.exec(m_db, m_error))
                return false;
        }
        return true;
    }

    bool codeLists()
    {
        QStringList sales;
        for (const Person& p : m_sales)
            sales << p.name;
        m_txCaptions =
            words("收款提醒 合同到期 发货安排 验收提醒 开票提醒 质保金回收 续签洽谈 进度检查");
        m_fjCaptions = words("合同正本 补充协议 技术附件 验收报告 会议纪要 授权委托书");
        QStringList gdTypes;
        for (const GoodsDef& g : kGoods) {
            if (!gdTypes.contains(u(g.type)))
                gdTypes << u(g.type);
        }
        return codeList("empname", sales) &&
               codeList("dept",
                        words("工程一部 工程二部 采购部 销售部 市场部 技术部 财务部 行政部")) &&
               codeList("fhemp", m_shippers) && codeList("gdtype", gdTypes) &&
               codeList("txcaption", m_txCaptions) && codeList("caption", m_fjCaptions);
    }

    bool addClient(const QString& code, const Client& c, const QString& type, bool disabled)
    {
        const int city = c.city;
        QString post = QString::fromLatin1(kCities[city].postPrefix);
        post += digits(3);
        QString bank = m_rng.pick(m_banks);
        bank += u(kCities[city].name);
        bank += m_rng.chance(0.5) ? u("分行") : m_rng.pick(m_districts).left(2) + u("支行");
        QString tax = QStringLiteral("91");
        tax += digits(6);
        static const char kTaxChars[] = "0123456789ABCDEFGHJKLMNPQRTUWXY";
        for (int i = 0; i < 10; ++i)
            tax += QLatin1Char(kTaxChars[m_rng.below(int(sizeof kTaxChars) - 1)]);
        const QString host = code.toLower() + QStringLiteral("-demo.com.cn");
        static const QStringList kMemos = words("长期合作单位 信用良好 需预付款 结算周期较长 "
                                                "重点客户");
        const QString memo = m_rng.chance(0.2) ? m_rng.pick(kMemos) : QString();
        const QString fax = m_rng.chance(0.5) ? landline(city) : QString();
        const QString legal = person();
        const QString account = digits(19);
        m_clientIns << code << c.name << type << c.linkman << c.phone << c.address << post << fax
                    << c.mobile << memo << (disabled ? 1 : 0) << bank << account << tax
                    << (QStringLiteral("www.") + host) << (QStringLiteral("contact@") + host)
                    << legal;
        return m_clientIns.exec(m_db, m_error);
    }

    Client makeClient(const QString& name, int city)
    {
        Client c;
        c.name = name;
        c.city = city;
        c.linkman = person();
        c.phone = landline(city);
        c.mobile = mobile();
        c.address = address(city);
        return c;
    }

    // Counterparts number `from` up to `to` (KH0001 is the company itself,
    // written with the first call).
    bool clients(int from, int to)
    {
        m_banks = words("中国工商银行 中国建设银行 中国农业银行 中国银行 交通银行 招商银行 "
                        "浦发银行 中信银行 兴业银行 杭州银行");
        const QStringList brands = words(
            "华信 宏达 恒远 鼎盛 中天 金鹏 瑞丰 新纪元 东方 天成 博远 润泽 永安 海川 联创 汇通 "
            "正泰 远洋 金石 嘉禾 万通 盛世 华通 明光 安信 凯达 广源 长城 方圆 启航 德润 信达 "
            "泰和 中联 宏图 银河 星辰 蓝天 华宇 世纪");
        struct Trade
        {
            const char* word;
            const char* type;
        };
        static const Trade kTrades[] = {
            {"建设", "企业客户"},       {"置业", "企业客户"},         {"房地产开发", "企业客户"},
            {"实业", "企业客户"},       {"城市建设投资", "企业客户"}, {"建材", "材料供应商"},
            {"钢铁贸易", "材料供应商"}, {"物资", "材料供应商"},       {"电缆", "材料供应商"},
            {"机电设备", "设备供应商"}, {"电气", "设备供应商"},       {"智能科技", "设备供应商"},
            {"信息技术", "服务供应商"}, {"工程咨询", "服务供应商"},   {"劳务", "劳务分包"},
            {"建筑劳务", "劳务分包"},   {"钢结构工程", "专业分包"},   {"消防工程", "专业分包"},
            {"装饰工程", "专业分包"},   {"科技发展", "合作伙伴"},
        };
        static const char* const kInstitutions[][2] = {
            {"市人民医院", "事业单位"},         {"市第一中学", "事业单位"},
            {"职业技术学院", "事业单位"},       {"市住房和城乡建设局", "政府机关"},
            {"市交通运输局", "政府机关"},       {"市教育局", "政府机关"},
            {"市公共资源交易中心", "事业单位"}, {"市图书馆", "事业单位"},
        };
        QSet<QString>& used = m_usedClientNames;
        if (from <= 1) {
            used.insert(companyName());
            if (!addClient(QStringLiteral("KH0001"), makeClient(companyName(), 6),
                           m_cltPaths.value(u("本单位")), false))
                return false;
        }
        for (int i = std::max(1, from); i < to; ++i) {
            const int city = m_rng.below(kCityCount);
            QString name, type;
            // The first three make sure every kind of contract finds a counterpart.
            if (i > 3 && m_rng.chance(0.12)) {
                const int k = m_rng.below(int(std::size(kInstitutions)));
                name = u(kCities[city].name) + u(kInstitutions[k][0]);
                type = u(kInstitutions[k][1]);
            } else {
                static const int kFirst[] = {0, 5, 14};
                const Trade& t =
                    kTrades[i <= 3 ? kFirst[i - 1] : m_rng.below(int(std::size(kTrades)))];
                name = u(kCities[city].name);
                name += m_rng.pick(brands);
                name += u(t.word);
                name += m_rng.chance(0.15) ? u("集团有限公司") : u("有限公司");
                type = u(t.type);
            }
            if (used.contains(name) && name.endsWith(u("有限公司")))
                name += u(kCities[m_rng.below(kCityCount)].name) + u("分公司");
            if (used.contains(name))
                name += u("（%1）").arg(i + 1);
            used.insert(name);
            const Client c = makeClient(name, city);
            const int index = int(m_clients.size());
            m_clients << c;
            if (type == u("企业客户") || type == u("政府机关") || type == u("事业单位") ||
                type == u("合作伙伴"))
                m_customers << index;
            if (type.endsWith(u("供应商")) || type == u("合作伙伴"))
                m_suppliers << index;
            if (type == u("劳务分包") || type == u("专业分包"))
                m_subcontractors << index;
            if (!addClient(QStringLiteral("KH%1").arg(i + 1, 4, 10, QLatin1Char('0')), c,
                           m_cltPaths.value(type), m_rng.chance(0.04)))
                return false;
        }
        return true;
    }

    bool projects()
    {
        const QStringList areas = words("滨江 新区 高新区 开发区 东城 西城 南湖 北湖 城南 城北 "
                                        "经开区 科技城 临港 江北 湖滨 河西 望江 青山");
        const QStringList estates = words("锦绣 翠苑 阳光 金色 紫荆 御景 海棠 枫林 春华 丽都 明珠 "
                                          "云栖 悦澜 星河 瑞景 和园");
        const QStringList phases = {QString(), u("一期"), u("二期"), u("三期")};
        struct Kind
        {
            const char* pattern; // {A} area, {N} estate, {Q} phase, {C} city
            const char* type;
        };
        static const Kind kKinds[] = {
            {"{A}{N}花园{Q}住宅小区", "住宅"},
            {"{A}{N}安置房{Q}", "住宅"},
            {"{A}{N}商业综合体", "商业"},
            {"{A}{N}购物中心", "商业"},
            {"{A}{N}大厦", "办公"},
            {"{A}总部办公楼{Q}", "办公"},
            {"{C}人民医院{A}院区门诊楼", "公共建筑"},
            {"{A}实验学校教学楼", "公共建筑"},
            {"{A}{N}路改造工程", "道路"},
            {"{A}快速路{Q}", "道路"},
            {"{A}{N}大桥", "桥梁"},
            {"{A}污水处理厂{Q}", "给排水"},
            {"{A}供水管网改造工程", "给排水"},
            {"{A}{N}产业园厂房{Q}", "厂房"},
            {"{A}物流园仓储中心", "仓储"},
            {"{A}防洪堤加固工程", "水利工程"},
        };
        const QStringList natures = words("新建 扩建 改建 维修");
        const QStringList docs = words("施工许可证 中标通知书 施工组织设计 图纸会审纪要 "
                                       "竣工验收报告 建设工程规划许可证");
        const int total = std::max(10, m_contracts / 50);
        QSet<QString> used;
        for (int i = 0; i < total; ++i) {
            const int city = m_rng.below(kCityCount);
            const Kind& k = kKinds[m_rng.below(int(std::size(kKinds)))];
            QString name = u(k.pattern);
            name.replace(QStringLiteral("{A}"), m_rng.pick(areas));
            name.replace(QStringLiteral("{N}"), m_rng.pick(estates));
            name.replace(QStringLiteral("{Q}"), m_rng.pick(phases));
            name.replace(QStringLiteral("{C}"), QString());
            name.prepend(u(kCities[city].name));
            if (used.contains(name))
                name += u("（%1标段）").arg(i + 1);
            used.insert(name);
            Project p;
            p.code = QStringLiteral("GC%1").arg(i + 1, 4, 10, QLatin1Char('0'));
            p.name = name;
            p.site = address(city);
            const int from = m_rng.between(-1400, -60);
            const int to = from + m_rng.between(300, 1200);
            const bool open = m_rng.chance(0.1);
            const QString price = QString::number(qint64(m_rng.between(50, 5000)) * 100000);
            const QString memo = m_rng.chance(0.3) ? u("重点项目，按月报送进度") : QString();
            const QString chief = person();
            const QString phone = mobile();
            const QString nature = m_rng.pick(natures);
            const int stopped = m_rng.chance(0.05) ? 1 : 0;
            m_projectIns << p.code << p.name << m_gcPaths.value(u(k.type)) << chief << phone
                         << p.name.left(50) << p.site << nature << price << m_days.text(from)
                         << (open ? kNoDate : m_days.text(to)) << memo << stopped;
            if (!m_projectIns.exec(m_db, m_error))
                return false;
            if (i % 10 == 0) {
                const int n = m_rng.between(1, 3);
                for (int d = 0; d < n; ++d) {
                    const QString caption = docs.at((i / 10 + d) % docs.size());
                    m_gcDetailIns
                        << caption
                        << QStringLiteral("/srv/档案/项目资料/%1/%2.pdf").arg(p.code, caption)
                        << QString() << p.code;
                    if (!m_gcDetailIns.exec(m_db, m_error))
                        return false;
                }
            }
            m_projects << p;
        }
        return true;
    }

    // Goods number `from` up to `to`.
    bool goods(int from, int to)
    {
        QList<QPair<int, QString>> combos;
        for (int g = 0; g < int(std::size(kGoods)); ++g) {
            for (const QString& model : u(kGoods[g].models).split(QLatin1Char('|')))
                combos << qMakePair(g, model);
        }
        const QStringList grades = words("（国产） （进口） （环保型） （经济型） （加强型）");
        for (int i = from; i < to; ++i) {
            const int round = i / int(combos.size());
            const auto& [g, baseModel] = combos.at(i % combos.size());
            const GoodsDef& def = kGoods[g];
            Goods item;
            item.code = QString::number(i + 1).rightJustified(6, QLatin1Char('0'));
            item.name = u(def.name);
            item.type = u(def.type);
            if (round == 0)
                item.model = baseModel;
            else if (item.type == u("软件服务"))
                item.model = baseModel + QStringLiteral(" V%1.0").arg(round + 1);
            else
                item.model = baseModel + grades.at((round - 1) % grades.size());
            item.unit = u(def.unit);
            const double raw = m_rng.real(def.low, def.high);
            item.price = raw < 100
                             ? cents(raw)
                             : std::round(raw / (raw < 10000 ? 1 : 10)) * (raw < 10000 ? 1 : 10);
            const bool stopped = m_rng.chance(0.03);
            const QString memo = m_rng.chance(0.1) ? u("常用物资") : QString();
            m_goodsIns << item.code << item.name << item.type << item.model << item.unit << memo
                       << item.price << (stopped ? 1 : 0);
            if (!m_goodsIns.exec(m_db, m_error))
                return false;
            if (!stopped)
                m_goodsByType[item.type] << int(m_goods.size());
            m_goods << item;
        }
        return true;
    }

    // ---- contracts and their records -------------------------------------

    struct Deal
    {
        int id;
        const TypeDef* type;
        int typeIndex;
        int direction;
        QString code;
        QString name;
        QString sales;
        QString counterpart; // counterpart's person in charge
        int client;
        int project;          // -1: none
        int date, begin, end; // day offsets; begin/end may be kNone
        bool noBegin, openEnd;
        double total;
        QString status;
        bool archived;
        QVector<Line> lines;
        int start() const { return noBegin ? date : begin; }
        int finish() const { return openEnd ? start() + 365 : end; }
    };

    QString expand(QString text, const Deal& d, const QString& goodsWord) const
    {
        const QString year = QString::number(m_days.date(d.date).year());
        text.replace(QStringLiteral("{P}"),
                     d.project >= 0 ? m_projects.at(d.project).name
                                    : u(kCities[m_clients.at(d.client).city].name) + u("项目"));
        text.replace(QStringLiteral("{G}"), goodsWord);
        text.replace(QStringLiteral("{Y}"), year);
        text.replace(QStringLiteral("{C}"), u(kCities[m_clients.at(d.client).city].name));
        return text;
    }

    double quantity(const Goods& g)
    {
        if (g.price > 50000)
            return m_rng.between(1, 4);
        static const QHash<QString, QPair<int, int>> kRanges{
            {u("吨"), {5, 300}},        {u("立方米"), {20, 2000}}, {u("米"), {100, 5000}},
            {u("平方米"), {100, 5000}}, {u("台"), {1, 30}},        {u("套"), {1, 20}},
            {u("个"), {5, 500}},        {u("件"), {5, 200}},       {u("箱"), {5, 200}},
            {u("项"), {1, 1}},
        };
        const auto r = kRanges.value(g.unit, {1, 10});
        return m_rng.between(r.first, r.second);
    }

    bool contracts()
    {
        if (m_contracts <= 0)
            return true;
        int weightSum = 0;
        for (const TypeDef& t : kTypes)
            weightSum += t.weight;

        // Link numbers follow the signing dates, as they do when contracts
        // are entered as they are signed.
        QVector<int> dates(m_contracts);
        for (int& d : dates)
            d = -m_rng.below(1096);
        std::sort(dates.begin(), dates.end());

        const QStringList payTerms = words("按进度付款 分期付款 一次性付款 货到付款 按月结算");
        const QStringList anomalies =
            words("对方付款逾期，已发函催告 工期延误，正在协商 发票未及时提供 "
                  "部分货物质量问题已协商退换 合同原件尚未归还");
        const QStringList currencies = words("美元 欧元 港币");
        const int withFiles = std::clamp(m_contracts / 200, std::min(m_contracts, 2), 50);
        const int stride = std::max(1, m_contracts / std::max(1, withFiles));

        for (int i = 0; i < m_contracts; ++i) {
            Deal d;
            d.id = i + 1;
            int w = m_rng.below(weightSum);
            d.typeIndex = 0;
            while (w >= kTypes[d.typeIndex].weight)
                w -= kTypes[d.typeIndex++].weight;
            d.type = &kTypes[d.typeIndex];
            const TypeDef& t = *d.type;
            d.direction = t.direction != 0 ? t.direction : (m_rng.chance(0.5) ? 1 : -1);
            const QVector<int>& pool = d.direction == 1              ? m_customers
                                       : u(t.group) == u("分包合同") ? m_subcontractors
                                                                     : m_suppliers;
            d.client = pool.at(m_rng.below(int(pool.size())));
            d.project =
                m_rng.below(100) < t.projectPercent ? m_rng.below(int(m_projects.size())) : -1;
            const QStringList depts = words(t.depts);
            const QString dept = m_rng.pick(depts);
            const QVector<int>& people = m_salesByDept[dept];
            d.sales = m_sales.at(people.at(m_rng.below(int(people.size())))).name;
            d.counterpart = m_clients.at(d.client).linkman;

            d.date = dates.at(i);
            d.noBegin = m_rng.chance(0.05);
            d.begin = d.date + m_rng.between(0, 20);
            d.openEnd = m_rng.chance(0.05);
            d.end = d.start() + m_rng.between(t.shortest, t.longest);

            const QString currency =
                (t.goodsPercent > 0 && m_rng.chance(0.03)) ? m_rng.pick(currencies) : u("人民币");
            const double rate = currency == u("美元")   ? 1 / 7.1
                                : currency == u("欧元") ? 1 / 7.8
                                : currency == u("港币") ? 1.09
                                                        : 1.0;

            // Goods lines decide a goods contract's amount and name.
            QString goodsWord;
            if (t.goodsPercent > 0 && m_rng.below(100) < t.goodsPercent) {
                const QStringList types = words(t.goodsTypes);
                const QString main = m_rng.pick(types);
                const int n = m_rng.between(2, 7);
                QSet<int> taken;
                for (int k = 0; k < n; ++k) {
                    const QString& gt = k == 0 ? main : m_rng.pick(types);
                    const QVector<int>& candidates = m_goodsByType[gt];
                    if (candidates.isEmpty())
                        continue;
                    const int g = candidates.at(m_rng.below(int(candidates.size())));
                    if (taken.contains(g))
                        continue;
                    taken.insert(g);
                    const Goods& goods = m_goods.at(g);
                    const double amount = quantity(goods);
                    const double price = cents(goods.price * m_rng.real(0.92, 1.08) * rate);
                    d.lines << Line{g, amount, price};
                }
                if (!d.lines.isEmpty())
                    goodsWord = m_goods.at(d.lines.first().goods).name;
            }
            if (goodsWord.isEmpty())
                goodsWord = words(t.goodsTypes).value(0, u("材料"));
            if (d.lines.isEmpty()) {
                const double raw = t.low * std::pow(t.high / t.low, m_rng.unit());
                const double step = raw >= 1e6 ? 1000 : raw >= 1e4 ? 100 : 1;
                d.total = std::round(raw / step) * step;
            } else {
                d.total = 0;
                for (const Line& l : d.lines)
                    d.total += cents(l.amount * l.price);
                d.total = cents(d.total);
            }

            QStringList titles = u(t.titles).split(QLatin1Char('|'));
            if (d.project < 0) {
                QStringList plain;
                for (const QString& s : titles) {
                    if (!s.contains(QStringLiteral("{P}")))
                        plain << s;
                }
                if (!plain.isEmpty())
                    titles = plain;
            }
            d.name = expand(m_rng.pick(titles), d, goodsWord);

            const QDate signed_ = m_days.date(d.date);
            const int month = signed_.year() * 100 + signed_.month();
            d.code = QStringLiteral("HT%1-%2").arg(month).arg(++m_monthSeq[month], 4, 10,
                                                              QLatin1Char('0'));

            if (d.start() > 0) {
                d.status = u("未生效");
            } else if (!d.openEnd && d.end < 0) {
                const int r = m_rng.below(100);
                d.status = r < 90 ? u("已完成") : r < 98 ? u("已终止") : u("已作废");
            } else {
                d.status = m_rng.chance(0.97) ? u("执行中") : u("已终止");
            }
            const bool closed = d.status != u("执行中") && d.status != u("未生效");
            d.archived = closed && !d.openEnd && d.end < -90 && m_rng.chance(0.7);

            if (!insertContract(d, dept, currency, payTerms, anomalies) || !receipts(d) ||
                !execution(d) || !reminders(d) || !changes(d) || !goodsLines(d) || !shipments(d))
                return false;
            if (i % stride == stride / 2 && m_withFiles < withFiles) {
                ++m_withFiles;
                if (!documents(d))
                    return false;
            }
        }
        return true;
    }

    bool insertContract(const Deal& d, const QString& dept, const QString& currency,
                        const QStringList& payTerms, const QStringList& anomalies)
    {
        const TypeDef& t = *d.type;
        const Client& client = m_clients.at(d.client);
        const QString& us = m_company;
        const QString party1 = d.direction == 1 ? client.name : us;
        const QString party2 = d.direction == 1 ? us : client.name;
        const QString fzr1 = d.direction == 1 ? d.counterpart : d.sales;
        const QString fzr2 = d.direction == 1 ? d.sales : d.counterpart;
        const int duration = d.finish() - d.start();
        QString memo = expand(u(t.scope), d,
                              d.lines.isEmpty() ? words(t.goodsTypes).value(0)
                                                : m_goods.at(d.lines.first().goods).name);
        const QString pay = m_rng.pick(payTerms);
        memo += u("，合同工期%1天，付款方式：%2。").arg(duration).arg(pay);
        const QString filePath = m_rng.chance(0.4) ? QStringLiteral("/srv/合同档案/%1/%2.pdf")
                                                         .arg(m_days.date(d.date).year())
                                                         .arg(d.code)
                                                   : QString();
        const QString memo2 = m_rng.chance(0.04) ? m_rng.pick(anomalies) : QString();
        QString archivePath;
        if (d.archived) {
            archivePath = u("档案室");
            archivePath += QLatin1Char(char('A' + m_rng.below(4)));
            archivePath += u("柜第%1层").arg(m_rng.between(1, 6));
        }
        const int edit = std::min(0, d.date + m_rng.between(0, 2));
        const QString tender = (t.work == 0 && m_rng.chance(0.7))
                                   ? QStringLiteral("ZB%1-%2")
                                         .arg(m_days.date(d.date).year())
                                         .arg(m_rng.between(1, 9999), 4, 10, QLatin1Char('0'))
                                   : QString();
        const double bond =
            t.work == 0 ? std::round(d.total * m_rng.real(0.05, 0.1) / 100) * 100 : 0.0;
        const bool done = d.status == u("已完成");
        const QString accepted =
            done ? m_days.text(std::min(0, d.end + m_rng.between(0, 30))) : kNoDate;
        const bool approved = m_rng.chance(d.status == u("未生效") ? 0.3 : 0.85);
        const QString projectCode = d.project >= 0 ? m_projects.at(d.project).code : QString();
        const QString projectName = d.project >= 0 ? m_projects.at(d.project).name : QString();
        m_contractIns << d.id << d.code << d.name << m_typePaths.at(d.typeIndex) << d.sales
                      << m_days.text(d.date) << d.total
                      << (d.noBegin ? kNoDate : m_days.text(d.begin))
                      << (d.openEnd ? kOpenEnd : m_days.text(d.end)) << d.status << memo << filePath
                      << memo2 << (d.archived ? 1 : 0) << archivePath << m_days.text(edit) << party1
                      << party2 << fzr1 << fzr2 << d.direction << currency << dept << tender << pay
                      << accepted << bond << (approved ? kAdmin : QString()) << projectCode
                      << projectName;
        return m_contractIns.exec(m_db, m_error);
    }

    bool receipts(const Deal& d)
    {
        const int k = d.total < 5e4 ? m_rng.between(1, 2) : m_rng.between(2, 5);
        const bool works = d.type->work == 0;
        QVector<double> weights(k);
        double sum = 0;
        for (int j = 0; j < k; ++j) {
            weights[j] = m_rng.real(0.6, 1.4);
            if (j == 0 && k > 1)
                weights[j] *= 0.5;
            if (works && j == k - 1 && k > 2)
                weights[j] = sum * 0.05 / 0.95; // retention money: 5 % of the total
            sum += weights[j];
        }
        const int start = d.start();
        const int span = std::max(1, d.finish() - start);
        double left = d.total;
        for (int j = 0; j < k; ++j) {
            const double due = j == k - 1 ? cents(left) : cents(d.total * weights[j] / sum);
            left -= due;
            const int dueDay = k == 1 ? start + std::min(30, span)
                                      : start + span * j / (k - 1) + m_rng.between(-3, 3);
            QString label;
            if (j == 0 && k > 1)
                label = u("预付款");
            else if (j == k - 1 && k > 2)
                label = works ? u("质保金") : u("结算尾款");
            else
                label = u("第%1期款").arg(j + 1);

            double got = 0, invoiced = 0;
            int gotDay = 0;
            bool received = false;
            if (dueDay < 0 && d.status != u("已作废")) {
                const int r = m_rng.below(100);
                received = r < 90;
                got = r < 85 ? due : r < 90 ? cents(due * m_rng.real(0.5, 0.9)) : 0;
                gotDay = std::clamp(dueDay + m_rng.between(-3, 20), d.date, 0);
                invoiced =
                    received ? (m_rng.chance(0.85) ? got : 0) : (m_rng.chance(0.4) ? due : 0);
            } else if (m_rng.chance(0.1)) {
                invoiced = due;
            }
            const QString bill = invoiced > 0 ? digits(8) : QString();
            const int entered = received ? gotDay : std::min(0, d.date + m_rng.between(0, 3));
            m_skIns << d.id << m_days.text(entered) << bill << due << m_days.text(dueDay)
                    << (received ? got : 0.0) << (received ? m_days.text(gotDay) : kNoDate)
                    << invoiced << label << kAdmin;
            if (!m_skIns.exec(m_db, m_error))
                return false;
        }
        return true;
    }

    bool execution(const Deal& d)
    {
        const int start = d.start();
        const int last = std::min(d.finish(), 0);
        if (start > last)
            return true;
        static const QList<QStringList> kSteps{
            words("施工准备就绪，人员机械进场 完成基础施工 主体结构施工过半 主体结构封顶 "
                  "完成砌体工程 完成水电预埋 完成外墙装饰 组织分部工程验收 整理竣工验收资料"),
            words("已下达订单 第一批货物到场并验收 货物全部到齐 完成安装调试 办理入库手续 "
                  "质量问题退换货处理完毕"),
            words("完成需求调研 提交初步方案 完成方案评审 阶段成果已交付 系统上线试运行 "
                  "提交最终成果"),
            words("设备进场 设备检修保养 租金对账确认 设备退场"),
        };
        static const QStringList kProgress =
            words("按计划推进 进度正常 略有滞后 提前完成 等待对方确认");
        const QStringList& steps = kSteps.at(d.type->work);
        const int k = m_rng.between(0, std::min(4, 1 + (last - start) / 60));
        QVector<int> days(k);
        for (int& day : days)
            day = m_rng.between(start, last);
        std::sort(days.begin(), days.end());
        for (int j = 0; j < k; ++j) {
            const int step = std::min(int(steps.size()) - 1,
                                      (j * int(steps.size())) / std::max(1, k) + m_rng.below(2));
            const int percent =
                std::min(100, 100 * (days[j] - start + 1) / std::max(1, d.finish() - start));
            const QString handler = m_rng.chance(0.7) ? d.sales : m_rng.pick(m_staff);
            const QString note = m_rng.chance(0.15) ? u("已拍照存档") : QString();
            const QString progress = percent >= 100 ? u("已完成") : m_rng.pick(kProgress);
            m_zxIns << note << handler << stamp(days[j]) << d.id << m_days.text(days[j])
                    << steps.at(step) << u("完成合同量的%1%").arg(std::max(1, percent)) << progress
                    << d.sales;
            if (!m_zxIns.exec(m_db, m_error))
                return false;
        }
        return true;
    }

    bool reminder(const Deal& d, int day, const QString& caption)
    {
        static const QStringList kTimes = words("上午 下午 全天");
        const QString memo =
            u("%1：%2（%3），请%4及时跟进。").arg(caption, d.code, d.name.left(30), d.sales);
        const QString time = m_rng.pick(kTimes);
        const QString made = stamp(std::min(0, day - m_rng.between(3, 30)));
        m_txIns << d.id << m_days.text(day) << time << memo << made << kAdmin << caption;
        return m_txIns.exec(m_db, m_error);
    }

    bool reminders(const Deal& d)
    {
        const int r = m_rng.below(100);
        const int k = r < 35 ? 0 : r < 75 ? 1 : 2;
        for (int j = 0; j < k; ++j) {
            const int day = m_rng.between(d.date, d.finish());
            if (!reminder(d, day, m_rng.pick(m_txCaptions)))
                return false;
        }
        // Open contracts get something due soon, so the reminder board is
        // never empty on the day the demo is made.
        const bool open = !d.archived && d.finish() >= 0 && d.status != u("已作废");
        if (open && (m_rng.chance(0.3) || !m_dueSoon)) {
            m_dueSoon = true;
            return reminder(d, m_rng.between(0, 14), m_rng.pick(m_txCaptions));
        }
        return true;
    }

    bool changes(const Deal& d)
    {
        const int start = d.start();
        if (start > -5 || !m_rng.chance(0.3))
            return true;
        const int k = m_rng.chance(0.7) ? 1 : 2;
        for (int j = 0; j < k; ++j) {
            const int r = m_rng.below(100);
            QString item, before, after, reason;
            if (r < 40) {
                item = u("合同金额");
                before = QString::number(cents(d.total * m_rng.real(0.85, 0.98)), 'f', 2);
                after = QString::number(d.total, 'f', 2);
                reason = u("设计变更，工程量调整");
            } else if (r < 70) {
                item = u("合同截止日期");
                before = m_days.text(d.finish() - m_rng.between(30, 120));
                after = d.openEnd ? kOpenEnd : m_days.text(d.end);
                reason = u("因现场条件变化，双方协商顺延工期");
            } else if (r < 80) {
                item = u("业务员");
                before = m_rng.pick(m_sales).name;
                after = d.sales;
                reason = u("人员岗位调整，移交业务");
            } else if (r < 90) {
                item = u("合同主要内容");
                before = u("按原合同范围执行");
                after = u("增加附属工程及零星项目");
                reason = u("业主增加建设内容");
            } else {
                item = d.direction == 1 ? u("甲方单位") : u("乙方单位");
                before = m_clients.at(m_rng.below(int(m_clients.size()))).name.left(50);
                after = m_clients.at(d.client).name.left(50);
                reason = u("对方单位主体变更，签订三方协议");
            }
            const int applied = m_rng.between(start, std::min(-1, d.finish()));
            // Old changes have long been approved; recent ones often still wait.
            const bool approved = applied < -3 && m_rng.chance(applied < -60 ? 0.85 : 0.3);
            const int approvedOn = std::min(0, applied + m_rng.between(1, 7));
            const int effective = std::min(0, applied + m_rng.between(0, 10));
            const QString applicant = m_rng.chance(0.8) ? d.sales : m_rng.pick(m_staff);
            m_bgIns << d.id << d.code << d.name.left(50) << item << reason << before << after
                    << applicant << m_days.text(applied) << (approved ? kAdmin : QString())
                    << (approved ? m_days.text(approvedOn) : kNoDate) << kAdmin
                    << m_days.text(applied) << QString() << m_days.text(effective);
            if (!m_bgIns.exec(m_db, m_error))
                return false;
        }
        return true;
    }

    bool goodsLines(const Deal& d)
    {
        for (const Line& l : d.lines) {
            const Goods& g = m_goods.at(l.goods);
            m_gdIns << d.id << g.code << g.name << g.type << g.model << g.unit << l.amount
                    << l.price << cents(l.amount * l.price) << QString();
            if (!m_gdIns.exec(m_db, m_error))
                return false;
        }
        return true;
    }

    // A code of the day's series: FH-yyyymmdd-NNN. A day whose thousand
    // numbers are used up moves the shipment to the next day.
    QString shipmentCode(int* day)
    {
        while (m_shipSeq.value(*day) >= 999)
            ++*day;
        const int seq = ++m_shipSeq[*day];
        return QStringLiteral("FH-%1-%2")
            .arg(m_days.date(*day).toString(QStringLiteral("yyyyMMdd")))
            .arg(seq, 3, 10, QLatin1Char('0'));
    }

    bool shipments(const Deal& d)
    {
        if (d.direction != 1 || d.lines.isEmpty() || d.start() > -3 || d.status == u("已作废"))
            return true;
        const int first = d.start() + 3;
        const int last = std::max(first, std::min(d.finish(), 0));
        const bool complete = d.status == u("已完成");
        const double share = complete ? 1.0 : m_rng.real(0.2, 0.9);
        const int k = m_rng.between(1, 3);
        QVector<int> days(k);
        for (int& day : days)
            day = std::min(0, m_rng.between(first, last));
        std::sort(days.begin(), days.end());
        const Client& client = m_clients.at(d.client);
        const QString site = d.project >= 0 ? m_projects.at(d.project).site : client.address;
        for (int s = 0; s < k; ++s) {
            double sum = 0;
            QVector<QPair<int, double>> parts; // line, quantity
            for (int j = 0; j < d.lines.size(); ++j) {
                const double whole =
                    complete ? d.lines[j].amount : std::floor(d.lines[j].amount * share);
                const double each = std::floor(whole / k);
                const double part = s == k - 1 ? whole - each * (k - 1) : each;
                if (part <= 0)
                    continue;
                parts << qMakePair(j, part);
                sum += cents(part * d.lines[j].price);
            }
            if (parts.isEmpty())
                continue;
            int day = days[s];
            const QString code = shipmentCode(&day);
            const int received = day + m_rng.between(1, 4);
            const QString shipper = m_rng.pick(m_shippers);
            const QString phone = mobile();
            const QString memo = s > 0 ? u("第%1批发货").arg(s + 1) : QString();
            m_fhIns << d.id << shipper << m_days.text(day)
                    << (received <= 0 ? m_days.text(received) : kNoDate) << d.counterpart << site
                    << client.phone << phone << memo << m_days.text(day) << -1 << code
                    << QStringLiteral("CK%1").arg(++m_outSeq, 8, 10, QLatin1Char('0')) << cents(sum)
                    << kAdmin;
            if (!m_fhIns.exec(m_db, m_error))
                return false;
            for (const auto& [j, part] : parts) {
                const Line& l = d.lines[j];
                const Goods& g = m_goods.at(l.goods);
                m_fhLineIns << g.code << g.name << g.type << g.model << g.unit << part << l.price
                            << cents(part * l.price) << QString() << code;
                if (!m_fhLineIns.exec(m_db, m_error))
                    return false;
            }
        }
        return true;
    }

    // ---- attachments and scans -------------------------------------------

    static QByteArray encode(const QImage& image, const char* format)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        return image.save(&buffer, format, 80) ? bytes : QByteArray();
    }

    // A scanned contract page: paper, a heading, ruled text lines and a red
    // seal. Shapes only: the admin tool has no fonts to draw text with.
    static QImage page(int width, int height, quint64 seed)
    {
        Rng rng(seed);
        QImage image(width, height, QImage::Format_RGB32);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient paper(0, 0, width, height);
        paper.setColorAt(0, QColor(252, 250, 243));
        paper.setColorAt(1, QColor(232, 228, 214));
        p.fillRect(image.rect(), paper);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 60, 60));
        p.drawRect(QRectF(width * 0.3, height * 0.06, width * 0.4, height * 0.025));
        const double margin = width * 0.1;
        for (double y = height * 0.14; y < height * 0.78; y += height * 0.035) {
            const double len = (width - 2 * margin) * rng.real(0.55, 1.0);
            p.setBrush(QColor(90, 90, 90, 200));
            p.drawRect(QRectF(margin, y, len, std::max(2.0, height * 0.008)));
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(80, 80, 80), 1));
        p.drawLine(QPointF(margin, height * 0.88), QPointF(width * 0.42, height * 0.88));
        p.drawLine(QPointF(width * 0.58, height * 0.88), QPointF(width - margin, height * 0.88));
        const QPointF centre(width * (0.7 + rng.real(-0.05, 0.05)), height * 0.84);
        const double r = width * 0.11;
        QRadialGradient ink(centre, r);
        ink.setColorAt(0, QColor(220, 30, 30, 40));
        ink.setColorAt(1, QColor(200, 20, 20, 90));
        p.setPen(QPen(QColor(200, 20, 20, 200), std::max(2.0, r * 0.08)));
        p.setBrush(ink);
        p.drawEllipse(centre, r, r);
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            constexpr double kPi = 3.14159265358979323846;
            const double a = -kPi / 2 + i * kPi / 5;
            const double rr = (i % 2 ? 0.16 : 0.4) * r;
            star << centre + QPointF(std::cos(a) * rr, std::sin(a) * rr);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 20, 20, 220));
        p.drawPolygon(star);
        p.end();
        return image;
    }

    void makeScans()
    {
        for (int i = 0; i < 3; ++i) {
            const QByteArray jpeg = encode(page(320, 452, 11 + i), "JPG");
            if (!jpeg.isEmpty())
                m_scans << Scan{QStringLiteral(".jpg"), jpeg};
        }
        // Indexed colours keep a bitmap page at a quarter of its true-colour size.
        const QImage small = page(180, 254, 29).convertToFormat(QImage::Format_Indexed8);
        const QByteArray bmp = encode(small, "BMP");
        if (!bmp.isEmpty())
            m_scans << Scan{QStringLiteral(".bmp"), bmp};
    }

    bool documents(const Deal& d)
    {
        if (m_scans.isEmpty())
            makeScans();
        const QString caption = m_fjCaptions.at(m_withFiles % m_fjCaptions.size());
        const QString text = u("%1\n\n合同编号：%2\n合同名称：%3\n签订日期：%4\n"
                               "经办人：%5\n\n本文件为演示附件，内容为虚构。\n")
                                 .arg(caption, d.code, d.name, m_days.text(d.date), d.sales);
        m_fjIns << d.id << caption
                << QStringLiteral("/home/%1/合同资料/%2/%3.txt").arg(kAdmin, d.code, caption)
                << QStringLiteral(".txt") << u("%1的%2").arg(d.name.left(40), caption) << d.sales
                << m_days.text(std::min(0, d.date + 3)) << text.toUtf8();
        if (!m_fjIns.exec(m_db, m_error))
            return false;
        if (m_scans.isEmpty())
            return true;
        const Scan& scan = m_scans.at(m_withFiles % m_scans.size());
        m_tpIns << d.id << u("合同扫描件第%1页").arg(1 + m_withFiles % 3) << scan.ext << scan.bytes;
        return m_tpIns.exec(m_db, m_error);
    }

    Database& m_db;
    const QString m_company = companyName();
    Rng m_rng;
    Days m_days;
    int m_contracts;
    int m_goodsTotal;
    int m_clientsTotal;
    QSet<QString> m_usedClientNames;
    QString* m_error;

    QStringList m_surnames, m_given, m_districts, m_roads, m_banks;
    QStringList m_typePaths;
    QHash<QString, QString> m_cltPaths, m_gcPaths;
    QVector<Person> m_sales;
    QHash<QString, QVector<int>> m_salesByDept;
    QStringList m_shippers, m_staff, m_txCaptions, m_fjCaptions;
    QVector<Client> m_clients;
    QVector<int> m_customers, m_suppliers, m_subcontractors;
    QVector<Project> m_projects;
    QVector<Goods> m_goods;
    QHash<QString, QVector<int>> m_goodsByType;
    QVector<Scan> m_scans;
    QHash<int, int> m_monthSeq, m_shipSeq;
    int m_outSeq = 0;
    bool m_dueSoon = false;
    int m_withFiles = 0;

    Inserter m_treeIns, m_codeIns, m_employeeIns, m_clientIns, m_projectIns, m_gcDetailIns,
        m_goodsIns, m_contractIns, m_skIns, m_zxIns, m_txIns, m_bgIns, m_tpIns, m_fjIns, m_gdIns,
        m_fhIns, m_fhLineIns;
};

// The fill writes a fresh file that nobody else has open; a crash simply
// means making the demo again, so durability is traded for speed until the
// end.
class FastWrites
{
public:
    explicit FastWrites(Database& db) : m_db(db)
    {
        for (const QString& statement : m_db.dialect().bulkLoad(true))
            m_db.exec(statement);
    }
    ~FastWrites()
    {
        for (const QString& statement : m_db.dialect().bulkLoad(false))
            m_db.exec(statement);
        // Back to the settings every connection starts with.
        m_db.applySettings();
    }

private:
    Database& m_db;
};

} // namespace

QString companyName()
{
    return QString::fromUtf8("璞朔示范工程有限公司");
}

bool fill(Database& db, const Options& options, QString* error)
{
    QString why;
    QString* err = error ? error : &why;
    err->clear();
    if (!db.isOpen()) {
        *err = QStringLiteral("数据库未连接");
        return false;
    }
    if (options.contracts < 0) {
        *err = QStringLiteral("合同数量不能为负数");
        return false;
    }
    // The company and one counterpart of each kind every contract needs.
    if (options.clients >= 0 && options.clients < kMinClients) {
        *err = QStringLiteral("往来单位至少 %1 家").arg(kMinClients);
        return false;
    }
    bool ok = false;
    const int existing =
        db.scalar(QStringLiteral("SELECT count(*) FROM Contract"), {}, &ok, err).toInt();
    if (!ok)
        return false;
    if (existing > 0) {
        *err = QStringLiteral("数据库中已有合同，演示数据只写入新数据库");
        return false;
    }
    std::unique_ptr<FastWrites> fast;
    if (db.transactionDepth() == 0)
        fast = std::make_unique<FastWrites>(db);
    TransactionGuard tx(db);
    if (!tx.isActive()) {
        *err = tx.error();
        return false;
    }
    Generator generator(db, options, err);
    if (!generator.run())
        return false;
    if (!tx.commit()) {
        *err = tx.error();
        return false;
    }
    return true;
}

} // namespace DemoData
