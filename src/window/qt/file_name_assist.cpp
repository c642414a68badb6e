#include "window/qt/file_name_assist.h"

#include <QCompleter>
#include <QDir>
#include <QDropEvent>
#include <QEvent>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <optional>

namespace veltrin {

namespace {

// The path of the first local file among the dragged items, as the user would type it.
std::optional<QString> DraggedFileName(const QMimeData* data) {
    if (data != nullptr) {
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile()) {
                return QDir::toNativeSeparators(url.toLocalFile());
            }
        }
    }
    return std::nullopt;
}

// Takes a file dragged onto a box as its name. The drop is always taken as a copy: a file manager that saw it
// taken as a move would remove the listing from where it was.
class FileDropFilter final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool dragging = event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove;
        if (dragging || event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            auto* box = qobject_cast<QLineEdit*>(watched);
            if (const std::optional<QString> fileName = DraggedFileName(drop->mimeData()); box != nullptr && fileName) {
                if (!dragging) {
                    box->setText(*fileName);
                }
                drop->setDropAction(Qt::CopyAction);
                drop->accept();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// Completes over the whole file system. A name without a folder is completed in the current folder and stays
// without it, as a run reads such a name from the current folder.
class FileNameCompleter final : public QCompleter {
  public:
    FileNameCompleter(QAbstractItemModel* model, QObject* parent) : QCompleter(model, parent) {}

    QStringList splitPath(const QString& path) const override {
        if (path.isEmpty() || !QDir::isRelativePath(path)) {
            return QCompleter::splitPath(path);
        }
        QString fullPath = QDir::cleanPath(QDir::currentPath() + QLatin1Char('/') + path);
        // A name that ends in a separator asks for the folder's contents, which cleaning would lose.
        if (QDir::fromNativeSeparators(path).endsWith(QLatin1Char('/'))) {
            fullPath += QLatin1Char('/');
        }
        return QCompleter::splitPath(fullPath);
    }

    QString pathFromIndex(const QModelIndex& index) const override {
        QString path = QCompleter::pathFromIndex(index);
        if (path.isEmpty() || !QDir::isRelativePath(completionPrefix())) {
            return path;
        }
        return QDir::toNativeSeparators(QDir::current().relativeFilePath(QDir::fromNativeSeparators(path)));
    }
};

}  // namespace

void AssistFileNameBoxes(QWidget& window, std::initializer_list<QLineEdit*> boxes) {
    auto* fileSystem = new QFileSystemModel(&window);
    fileSystem->setFilter(QDir::AllDirs | QDir::Files | QDir::Drives | QDir::NoDotAndDotDot);
    fileSystem->setRootPath(QString());
    // The model reads a folder when it is first asked for it, after the keystroke that asked: the current folder,
    // where a bare name is completed, is read now, so that its first letter already finds names.
    fileSystem->fetchMore(fileSystem->index(QDir::currentPath()));
    auto* dropFilter = new FileDropFilter(&window);
    for (QLineEdit* box : boxes) {
        box->setCompleter(new FileNameCompleter(fileSystem, box));
        box->installEventFilter(dropFilter);
    }
}

}  // namespace veltrin
