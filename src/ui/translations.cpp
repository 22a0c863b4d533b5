#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace ui {

namespace {

struct Text {
    const char* context;
    const char* source;
    const char* romanian;
};

// Qt's source texts of its standard dialogs, as Qt 6 writes them.
const Text kTexts[] = {
    // The buttons every dialog box shares.
    {"QPlatformTheme", "OK", "OK"},
    {"QPlatformTheme", "Save", "Salveaza"},
    {"QPlatformTheme", "Save All", "Salveaza tot"},
    {"QPlatformTheme", "Open", "Deschide"},
    {"QPlatformTheme", "&Yes", "&Da"},
    {"QPlatformTheme", "Yes to &All", "Da la &toate"},
    {"QPlatformTheme", "&No", "&Nu"},
    {"QPlatformTheme", "N&o to All", "N&u la toate"},
    {"QPlatformTheme", "Abort", "Abandoneaza"},
    {"QPlatformTheme", "Retry", "Reincearca"},
    {"QPlatformTheme", "Ignore", "Ignora"},
    {"QPlatformTheme", "Close", "Inchide"},
    {"QPlatformTheme", "Cancel", "Renunta"},
    {"QPlatformTheme", "Discard", "Nu salva"},
    {"QPlatformTheme", "Help", "Ajutor"},
    {"QPlatformTheme", "Apply", "Aplica"},
    {"QPlatformTheme", "Reset", "Reseteaza"},
    {"QPlatformTheme", "Restore Defaults", "Valorile initiale"},
    {"QDialogButtonBox", "OK", "OK"},
    {"QMessageBox", "Show Details...", "Arata detaliile..."},
    {"QMessageBox", "Hide Details...", "Ascunde detaliile..."},
    {"QInputDialog", "Enter a value:", "Introduceti o valoare:"},
    {"QProgressDialog", "Cancel", "Renunta"},
    {"QErrorMessage", "&OK", "&OK"},
    {"QErrorMessage", "&Show this message again", "&Arata din nou acest mesaj"},
    {"QErrorMessage", "Debug Message:", "Mesaj de depanare:"},
    {"QErrorMessage", "Warning:", "Avertisment:"},
    {"QErrorMessage", "Critical Error:", "Eroare critica:"},
    {"QErrorMessage", "Fatal Error:", "Eroare fatala:"},
    {"QErrorMessage", "Information:", "Informatie:"},

    // The context menu of edit boxes.
    {"QLineEdit", "&Undo", "&Anuleaza"},
    {"QLineEdit", "&Redo", "&Refa"},
    {"QLineEdit", "Cu&t", "&Taie"},
    {"QLineEdit", "&Copy", "&Copiaza"},
    {"QLineEdit", "&Paste", "&Lipeste"},
    {"QLineEdit", "Delete", "Sterge"},
    {"QLineEdit", "Select All", "Selecteaza tot"},
    {"QWidgetTextControl", "&Undo", "&Anuleaza"},
    {"QWidgetTextControl", "&Redo", "&Refa"},
    {"QWidgetTextControl", "Cu&t", "&Taie"},
    {"QWidgetTextControl", "&Copy", "&Copiaza"},
    {"QWidgetTextControl", "Copy &Link Location", "Copiaza adresa &legaturii"},
    {"QWidgetTextControl", "&Paste", "&Lipeste"},
    {"QWidgetTextControl", "Delete", "Sterge"},
    {"QWidgetTextControl", "Select All", "Selecteaza tot"},
    {"QAbstractSpinBox", "&Select All", "&Selecteaza tot"},
    {"QAbstractSpinBox", "&Step up", "&Creste"},
    {"QAbstractSpinBox", "Step &down", "&Scade"},

    // The file dialog.
    {"QFileDialog", "Look in:", "Cauta în:"},
    {"QFileDialog", "Back", "Inapoi"},
    {"QFileDialog", "Go back", "Inapoi"},
    {"QFileDialog", "Alt+Left", "Alt+Left"},
    {"QFileDialog", "Forward", "Inainte"},
    {"QFileDialog", "Go forward", "Inainte"},
    {"QFileDialog", "Alt+Right", "Alt+Right"},
    {"QFileDialog", "Parent Directory", "Folderul parinte"},
    {"QFileDialog", "Go to the parent directory", "Urca în folderul parinte"},
    {"QFileDialog", "Alt+Up", "Alt+Up"},
    {"QFileDialog", "Create New Folder", "Folder nou"},
    {"QFileDialog", "Create a New Folder", "Creeaza un folder nou"},
    {"QFileDialog", "List View", "Lista"},
    {"QFileDialog", "Change to list view mode", "Arata fisierele ca lista"},
    {"QFileDialog", "Detail View", "Detalii"},
    {"QFileDialog", "Change to detail view mode", "Arata fisierele cu detalii"},
    {"QFileDialog", "Sidebar", "Locuri"},
    {"QFileDialog", "List of places and bookmarks", "Locuri si semne de carte"},
    {"QFileDialog", "Files", "Fisiere"},
    {"QFileDialog", "Files of type:", "Fisiere de tipul:"},
    {"QFileDialog", "File &name:", "&Nume fisier:"},
    {"QFileDialog", "Directory:", "Folder:"},
    {"QFileDialog", "Find Directory", "Alegeti folderul"},
    {"QFileDialog", "Open", "Deschide"},
    {"QFileDialog", "Save As", "Salveaza ca"},
    {"QFileDialog", "&Open", "&Deschide"},
    {"QFileDialog", "&Save", "&Salveaza"},
    {"QFileDialog", "&Choose", "&Alege"},
    {"QFileDialog", "&Rename", "&Redenumeste"},
    {"QFileDialog", "&Delete", "&Sterge"},
    {"QFileDialog", "Show &hidden files", "Arata fisierele &ascunse"},
    {"QFileDialog", "&New Folder", "Folder &nou"},
    {"QFileDialog", "New Folder", "Folder nou"},
    {"QFileDialog", "Remove", "Elimina"},
    {"QFileDialog", "Recent Places", "Locuri recente"},
    {"QFileDialog", "My Computer", "Calculatorul meu"},
    {"QFileDialog", "Directories", "Foldere"},
    {"QFileDialog", "All Files (*)", "Toate fisierele (*)"},
    {"QFileDialog", "All files (*)", "Toate fisierele (*)"},
    {"QFileDialog", "%1 File", "Fisier %1"},
    {"QFileDialog", "File", "Fisier"},
    {"QFileDialog", "File Folder", "Folder"},
    {"QFileDialog", "Folder", "Folder"},
    {"QFileDialog", "Alias", "Alias"},
    {"QFileDialog", "Shortcut", "Scurtatura"},
    {"QFileDialog", "Drive", "Unitate"},
    {"QFileDialog", "Unknown", "Necunoscut"},
    {"QFileDialog", "Show ", "Arata "},
    {"QFileDialog", "%1 already exists.\nDo you want to replace it?",
     "Fisierul %1 exista deja.\nÎl înlocuiti?"},
    {"QFileDialog", "%1\nFile not found.\nPlease verify the correct file name was given.",
     "%1\nFisierul nu a fost gasit.\nVerificati numele fisierului."},
    {"QFileDialog", "%1\nDirectory not found.\nPlease verify the correct directory name was given.",
     "%1\nFolderul nu a fost gasit.\nVerificati numele folderului."},
    {"QFileDialog", "'%1' is write protected.\nDo you want to delete it anyway?",
     "'%1' este protejat la scriere.\nÎl stergeti totusi?"},
    {"QFileDialog", "Are you sure you want to delete '%1'?", "Stergeti '%1'?"},
    {"QFileDialog", "Could not delete directory.", "Folderul nu a putut fi sters."},
    {"QFileDialog", "Delete", "Sterge"},
    {"QFileSystemModel", "Name", "Nume"},
    {"QFileSystemModel", "Size", "Marime"},
    {"QFileSystemModel", "Type", "Tip"},
    {"QFileSystemModel", "Kind", "Tip"},
    {"QFileSystemModel", "Date Modified", "Data modificarii"},
    {"QFileSystemModel", "My Computer", "Calculatorul meu"},
    {"QFileSystemModel", "Computer", "Calculator"},
    {"QFileSystemModel", "Invalid filename", "Nume de fisier incorect"},
    {"QFileSystemModel",
     "<b>The name \"%1\" can not be used.</b><p>Try using another name, with fewer characters or no punctuations marks.",
     "<b>Numele \"%1\" nu poate fi folosit.</b><p>Alegeti alt nume, mai scurt sau fara semne de punctuatie."},
    {"QFileSystemModel", "%1 TB", "%1 TB"},
    {"QFileSystemModel", "%1 GB", "%1 GB"},
    {"QFileSystemModel", "%1 MB", "%1 MB"},
    {"QFileSystemModel", "%1 KB", "%1 KB"},
    {"QFileSystemModel", "%1 bytes", "%1 octeti"},
    {"QFileSystemModel", "%1 byte(s)", "%1 octet(i)"},

    // The print dialog.
    {"QPrintDialog", "Print", "Tiparire"},
    {"QPrintDialog", "&Print", "&Tipareste"},
    {"QPrintDialog", "&Options >>", "&Optiuni >>"},
    {"QPrintDialog", "&Options <<", "&Optiuni <<"},
    {"QPrintDialog", "Print to File (PDF)", "Tiparire în fisier (PDF)"},
    {"QPrintDialog", "Print To File ...", "Tiparire în fisier..."},
    {"QPrintDialog", "Write PDF file", "Scrie fisierul PDF"},
    {"QPrintDialog", "Local file", "Fisier local"},
    {"QPrintDialog", "All Pages", "Toate paginile"},
    {"QPrintDialog", "Odd Pages", "Paginile impare"},
    {"QPrintDialog", "Even Pages", "Paginile pare"},
    {"QPrintDialog", "%1 already exists.\nDo you want to overwrite it?", "Fisierul %1 exista deja.\nÎl înlocuiti?"},
    {"QPrintDialog", "%1 is a directory.\nPlease choose a different file name.",
     "%1 este un folder.\nAlegeti alt nume de fisier."},
    {"QPrintDialog", "File %1 is not writable.\nPlease choose a different file name.",
     "Fisierul %1 nu poate fi scris.\nAlegeti alt nume de fisier."},
    {"QPrintDialog", "The 'From' value cannot be greater than the 'To' value.",
     "Prima pagina nu poate fi dupa ultima."},
    {"QPrintDialog", "Invalid Pages Definition", "Pagini incorecte"},
    {"QPrintDialog",
     "%1 does not follow the correct syntax. Please use ',' to separate ranges and pages, '-' to define ranges and make "
     "sure ranges do not intersect with each other.",
     "%1 nu este o lista de pagini corecta. Despartiti paginile si intervalele prin ',', capetele unui interval prin "
     "'-', iar intervalele sa nu se suprapuna."},
    {"QPrintDialog", "Duplex Settings Conflicts", "Optiuni de tiparire fata-verso incompatibile"},
    {"QPrintDialog", "There are conflicts in duplex settings. Do you want to fix them?",
     "Optiunile de tiparire fata-verso nu se potrivesc. Le corectati?"},
    {"QPrintDialog",
     "Options 'Pages Per Sheet' and 'Page Set' cannot be used together.\nPlease turn one of those options off.",
     "Optiunile 'Pagini pe foaie' si 'Setul de pagini' nu pot fi folosite împreuna.\nRenuntati la una dintre ele."},
    {"QPrintDialog", "Left to Right, Top to Bottom", "De la stînga la dreapta, de sus în jos"},
    {"QPrintDialog", "Left to Right, Bottom to Top", "De la stînga la dreapta, de jos în sus"},
    {"QPrintDialog", "Right to Left, Bottom to Top", "De la dreapta la stînga, de jos în sus"},
    {"QPrintDialog", "Right to Left, Top to Bottom", "De la dreapta la stînga, de sus în jos"},
    {"QPrintDialog", "Bottom to Top, Left to Right", "De jos în sus, de la stînga la dreapta"},
    {"QPrintDialog", "Bottom to Top, Right to Left", "De jos în sus, de la dreapta la stînga"},
    {"QPrintDialog", "Top to Bottom, Left to Right", "De sus în jos, de la stînga la dreapta"},
    {"QPrintDialog", "Top to Bottom, Right to Left", "De sus în jos, de la dreapta la stînga"},
    {"QPrintWidget", "Printer", "Imprimanta"},
    {"QPrintWidget", "&Name:", "&Nume:"},
    {"QPrintWidget", "P&roperties", "P&roprietati"},
    {"QPrintWidget", "Location:", "Locul:"},
    {"QPrintWidget", "Preview", "Previzualizare"},
    {"QPrintWidget", "Type:", "Tip:"},
    {"QPrintWidget", "Output &file:", "&Fisier:"},
    {"QPrintWidget", "Form", "Formular"},
    {"QPrintWidget", "...", "..."},
    {"QPrintSettingsOutput", "Form", "Formular"},
    {"QPrintSettingsOutput", "Copies", "Exemplare"},
    {"QPrintSettingsOutput", "Copies:", "Exemplare:"},
    {"QPrintSettingsOutput", "Collate", "Grupate pe exemplare"},
    {"QPrintSettingsOutput", "Reverse", "În ordine inversa"},
    {"QPrintSettingsOutput", "Print range", "Ce se tipareste"},
    {"QPrintSettingsOutput", "Print all", "Tot"},
    {"QPrintSettingsOutput", "Pages from", "Paginile de la"},
    {"QPrintSettingsOutput", "to", "la"},
    {"QPrintSettingsOutput", "Pages", "Paginile"},
    {"QPrintSettingsOutput",
     "Specify pages or ranges separated by commas. Ranges are specified by two numbers separated by a hyphen. E.g: "
     "3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
     "Paginile sau intervalele, despartite prin virgula; un interval este format din doua numere despartite prin "
     "cratima. De exemplu 3,5-7,9 tipareste paginile 3, 5, 6, 7 si 9."},
    {"QPrintSettingsOutput", "Current Page", "Pagina curenta"},
    {"QPrintSettingsOutput", "Selection", "Selectia"},
    {"QPrintSettingsOutput", "Page Set:", "Setul de pagini:"},
    {"QPrintSettingsOutput", "Output Settings", "Tiparire"},
    {"QPrintSettingsOutput", "Options", "Optiuni"},
    {"QPrintSettingsOutput", "Color Mode", "Culori"},
    {"QPrintSettingsOutput", "Color", "Color"},
    {"QPrintSettingsOutput", "Grayscale", "Nuante de gri"},
    {"QPrintSettingsOutput", "Double Sided Printing", "Tiparire fata-verso"},
    {"QPrintSettingsOutput", "Off", "Nu"},
    {"QPrintSettingsOutput", "Long side binding", "Legare pe latura lunga"},
    {"QPrintSettingsOutput", "Short side binding", "Legare pe latura scurta"},
    {"QPrintPropertiesWidget", "Form", "Formular"},
    {"QPrintPropertiesWidget", "Page", "Pagina"},
    {"QPrintPropertiesWidget", "Advanced", "Avansat"},
    {"QPrintPropertiesWidget", "There are conflicts in some options. Please fix them.",
     "Unele optiuni nu se potrivesc între ele. Corectati-le."},
    {"QPageSetupWidget", "Form", "Formular"},
    {"QPageSetupWidget", "Paper", "Hîrtie"},
    {"QPageSetupWidget", "Page size:", "Format pagina:"},
    {"QPageSetupWidget", "Width:", "Latime:"},
    {"QPageSetupWidget", "Height:", "Înaltime:"},
    {"QPageSetupWidget", "Paper source:", "Sursa hîrtiei:"},
    {"QPageSetupWidget", "Orientation", "Orientare"},
    {"QPageSetupWidget", "Portrait", "Portret"},
    {"QPageSetupWidget", "Landscape", "Peisaj"},
    {"QPageSetupWidget", "Reverse landscape", "Peisaj inversat"},
    {"QPageSetupWidget", "Reverse portrait", "Portret inversat"},
    {"QPageSetupWidget", "Margins", "Margini"},
    {"QPageSetupWidget", "top margin", "marginea de sus"},
    {"QPageSetupWidget", "left margin", "marginea din stînga"},
    {"QPageSetupWidget", "right margin", "marginea din dreapta"},
    {"QPageSetupWidget", "bottom margin", "marginea de jos"},
    {"QPageSetupWidget", "Page Layout", "Asezare în pagina"},
    {"QPageSetupWidget", "Page order:", "Ordinea paginilor:"},
    {"QPageSetupWidget", "Pages per sheet:", "Pagini pe foaie:"},
    {"QPageSetupWidget", "Custom", "Personalizat"},
    {"QPageSetupWidget", "Millimeters (mm)", "Milimetri (mm)"},
    {"QPageSetupWidget", "Inches (in)", "Toli (in)"},
    {"QPageSetupWidget", "Points (pt)", "Puncte (pt)"},
    {"QPageSize", "Custom", "Personalizat"},

    // The font dialog.
    {"QFontDialog", "Select Font", "Alegeti fontul"},
    {"QFontDialog", "&Font", "&Font"},
    {"QFontDialog", "Font st&yle", "&Stil"},
    {"QFontDialog", "&Size", "&Marime"},
    {"QFontDialog", "Effects", "Efecte"},
    {"QFontDialog", "Stri&keout", "&Taiat"},
    {"QFontDialog", "&Underline", "S&ubliniat"},
    {"QFontDialog", "Sample", "Exemplu"},
    {"QFontDialog", "Wr&iting System", "Sistem de s&criere"},
    {"QFontDatabase", "Normal", "Normal"},
    {"QFontDatabase", "Bold", "Aldin"},
    {"QFontDatabase", "Italic", "Cursiv"},
    {"QFontDatabase", "Oblique", "Oblic"},
    {"QFontDatabase", "Light", "Subtire"},
    {"QFontDatabase", "Medium", "Mediu"},
    {"QFontDatabase", "Any", "Oricare"},
    {"QFontDatabase", "Latin", "Latin"},
};

QString key(const char* context, const char* source)
{
    return QString::fromLatin1(context) + QChar(0x1f) + QString::fromUtf8(source);
}

} // namespace

StandardDialogsTranslator::StandardDialogsTranslator(QObject* parent) : QTranslator(parent)
{
    for (const Text& t : kTexts)
        m_texts.insert(key(t.context, t.source), QString::fromUtf8(t.romanian));
}

QString StandardDialogsTranslator::translate(const char* context, const char* sourceText, const char* disambiguation,
                                             int n) const
{
    Q_UNUSED(disambiguation);
    Q_UNUSED(n);
    if (!context || !sourceText)
        return QString();
    return m_texts.value(key(context, sourceText)); // a null text: not ours, Qt's own stays
}

QStringList installRomanianTranslations(QCoreApplication& app)
{
    // Installed last is asked first: Qt's own translation, where there is one,
    // before the program's.
    app.installTranslator(new StandardDialogsTranslator(&app));
    QStringList loaded;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : {"qt_ro", "qtbase_ro"}) {
        auto* qt = new QTranslator(&app);
        if (qt->load(QString::fromLatin1(name), folder)) {
            app.installTranslator(qt);
            loaded << qt->filePath();
        } else {
            delete qt;
        }
    }
    return loaded;
}

} // namespace ui
