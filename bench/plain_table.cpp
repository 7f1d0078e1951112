// The yardstick for a list at scale: a Qt program written the plain way. It reads ToDoList.xml
// from the current folder with QXmlStreamReader into one vector of texts, shows them in a
// QTableView over a QAbstractTableModel, and saves the list with QSaveFile two seconds after
// the last edit, on the GUI thread.
#include <QAbstractTableModel>
#include <QApplication>
#include <QFile>
#include <QSaveFile>
#include <QTableView>
#include <QTimer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <vector>

namespace {

class PlainModel : public QAbstractTableModel {
public:
    int rows = 0;
    int cols = 0;
    std::vector<QString> cells;  // rows x cols, row by row; row 0 holds the captions

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows; }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : cols;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole && role != Qt::EditRole) {
            return {};
        }
        return cells[static_cast<size_t>(index.row() * cols + index.column())];
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role != Qt::EditRole) {
            return false;
        }
        cells[static_cast<size_t>(index.row() * cols + index.column())] = value.toString();
        emit dataChanged(index, index);
        return true;
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
    }
};

struct Window {
    int width = 370;
    int height = 211;
};

void read(const QString& path, PlainModel& model, Window& window) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        model.rows = 6;
        model.cols = 3;
        model.cells.resize(18);
        return;
    }
    QXmlStreamReader xml(&file);
    int row = 0;
    int col = 0;
    int headerCol = 0;
    bool inHeader = false;
    bool inContent = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            if (xml.isEndElement() && xml.name() == u"ColumnHeader") {
                inHeader = false;
            }
            continue;
        }
        const QStringView name = xml.name();
        if (name == u"Width") {
            window.width = xml.readElementText().toInt();
        } else if (name == u"Height") {
            window.height = xml.readElementText().toInt();
        } else if (name == u"RowCount") {
            model.rows = xml.readElementText().toInt() + 1;
        } else if (name == u"ColumnCount") {
            model.cols = xml.readElementText().toInt();
            model.cells.resize(static_cast<size_t>(model.rows) * static_cast<size_t>(model.cols));
        } else if (name == u"ColumnHeader") {
            inHeader = true;
        } else if (inHeader && name == u"ColumnCaption") {
            const QString caption = xml.readElementText();
            if (headerCol < model.cols) {
                model.cells[static_cast<size_t>(headerCol++)] = caption;
            }
        } else if (name == u"ToDoContent") {
            inContent = true;
        } else if (inContent && name == u"Column") {
            ++row;
            col = 0;
        } else if (inContent && name == u"Text") {
            const QString text = xml.readElementText();
            if (row < model.rows && col < model.cols) {
                model.cells[static_cast<size_t>(row * model.cols + col)] = text;
            }
            ++col;
        }
    }
}

void save(const QString& path, const PlainModel& model, const Window& window) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return;
    }
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement("ToDoList");
    xml.writeStartElement("WindowPosition");
    xml.writeTextElement("Width", QString::number(window.width));
    xml.writeTextElement("Height", QString::number(window.height));
    xml.writeEndElement();
    xml.writeStartElement("ColumnInfo");
    xml.writeTextElement("RowCount", QString::number(model.rows - 1));
    xml.writeTextElement("ColumnCount", QString::number(model.cols));
    xml.writeEndElement();
    xml.writeStartElement("ColumnHeader");
    for (int col = 0; col < model.cols; ++col) {
        xml.writeStartElement("Column");
        xml.writeTextElement("ColumnCaption", model.cells[static_cast<size_t>(col)]);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeStartElement("ToDoContent");
    for (int row = 1; row < model.rows; ++row) {
        xml.writeStartElement("Column");
        for (int col = 0; col < model.cols; ++col) {
            xml.writeTextElement("Text", model.cells[static_cast<size_t>(row * model.cols + col)]);
        }
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    file.commit();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString path = QStringLiteral("ToDoList.xml");
    PlainModel model;
    Window window;
    read(path, model, window);

    QTableView view;
    view.setWindowTitle(QStringLiteral("Plain table"));
    view.setModel(&model);
    view.setEditTriggers(QAbstractItemView::AllEditTriggers);
    view.resize(window.width, window.height);
    view.setCurrentIndex(model.index(model.rows > 1 ? 1 : 0, 0));

    QTimer saveTimer;
    saveTimer.setSingleShot(true);
    saveTimer.setInterval(2000);
    QObject::connect(&model, &QAbstractItemModel::dataChanged, &saveTimer,
                     qOverload<>(&QTimer::start));
    QObject::connect(&saveTimer, &QTimer::timeout, [&] { save(path, model, window); });
    QObject::connect(&app, &QApplication::aboutToQuit, [&] {
        if (saveTimer.isActive()) {
            save(path, model, window);
        }
    });
    view.show();
    return app.exec();
}
