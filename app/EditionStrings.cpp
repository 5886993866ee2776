#include "app/EditionStrings.h"

namespace torvex::app {
namespace {

// The change descriptions of the installed-programs items are technical
// texts and read the same in every edition.
void AddTechnicalTexts(StringTable& t) {
    t[65248] = "Uninstall[%d]:Version";
    t[65249] = "Uninstall[%d]:HelpLink";
    t[65250] = "Uninstall[%d]:UpdateInfoURL";
    t[65251] = "Uninstall[%d]:RegCompany";
    t[65252] = "Uninstall[%d]:RegOwner";
    t[65276] = "Uninstall[%d]:ProgramName";
    t[65277] = "Uninstall[%d]:UninstallPath";
    t[65278] = "Uninstall[%d]:Publisher";
    t[65279] = "Uninstall[%d]:PublisherURL";
}

StringTable Finish(StringTable t) {
    AddTechnicalTexts(t);
    return t;
}

}  // namespace

StringTable DanishStrings() {
    return Finish({
        {65184, "Computerens specifikationer:"},
        {65185, "Systeminformation"},
        {65200, "Grafikkort"},
        {65201, "Grafikhukommelse"},
        {65202, "(ikke oplyst)"},
        {65203, "DirectX version"},
        {65204, "Aktuel skærmopløsning"},
        {65205, "Modem"},
        {65206, "Mus"},
        {65207, "Tastatur"},
        {65208, "Standardprinter"},
        {65209, "Printer"},
        {65210, "Drev "},
        {65211, " ledig af "},
        {65212, "Harddiskplads"},
        {65213, "Plads på netværksdrev"},
        {65214, "Installerede programmer"},
        {65215, "Softwareproducent"},
        {65216, "Netværkskort"},
        {65217, "Lokalt maskinnavn"},
        {65218, "IP adresse"},
        {65219, "MAC adresse"},
        {65220, "Hukommelse"},
        {65221, " MB"},
        {65222, " GB"},
        {65223, " MB ram"},
        {65224, " MB ledig"},
        {65225, "Type"},
        {65226, "Lydkort"},
        {65227, "Spilport"},
        {65228, "Diskette"},
        {65229, "Harddisk"},
        {65230, "CD-ROM"},
        {65231, "Båndstation"},
        {65239, "Hovedsystem"},
        {65240, "Processor"},
        {65241, "Frekvens"},
        {65242, "Spænding"},
        {65243, "Sokkel"},
        {65244, "Tid siden sidste opstart"},
        {65245, "Udvidelsesslot"},
        {65246, "Windowsversion"},
        {65247, "Registreret til"},
    });
}

StringTable NorwegianStrings() {
    return Finish({
        {65184, "Datamaskinens spesifikasjoner:"},
        {65185, "Systeminformasjon"},
        {65200, "Skjermkort"},
        {65201, "Grafikkminne"},
        {65202, "(ikke oppgitt)"},
        {65203, "DirectX versjon"},
        {65204, "Aktuell skjermoppløsning"},
        {65205, "Modem"},
        {65206, "Mus"},
        {65207, "Tastatur"},
        {65208, "Standardskriver"},
        {65209, "Skriver"},
        {65210, "Stasjon "},
        {65211, " ledig av "},
        {65212, "Harddiskplass"},
        {65213, "Plass på nettverksstasjon"},
        {65214, "Installerte programmer"},
        {65215, "Programvareprodusent"},
        {65216, "Nettverkskort"},
        {65217, "Lokalt maskinnavn"},
        {65218, "IP Adresse"},
        {65219, "MAC Adresse"},
        {65220, "Minne"},
        {65221, " MB"},
        {65222, " GB"},
        {65223, " MB ram"},
        {65224, " MB ledig"},
        {65225, "Type"},
        {65226, "Lydkort"},
        {65227, "Spilleport"},
        {65228, "Diskett"},
        {65229, "Harddisk"},
        {65230, "CD-ROM"},
        {65231, "Båndstasjon"},
        {65239, "Hovedsystem"},
        {65240, "Processor"},
        {65241, "Frekvens"},
        {65242, "Spenning"},
        {65243, "Sokkel"},
        {65244, "Tid siden siste oppstart"},
        {65245, "Utvidelsesspor"},
        {65246, "Windowsversjon"},
        {65247, "Registrert på"},
    });
}

StringTable SwedishStrings() {
    return Finish({
        {65184, "Datorns specifikationer:"},
        {65185, "Systeminformation"},
        {65200, "Grafikkort"},
        {65201, "Grafikminne"},
        {65202, "(ej angivet)"},
        {65203, "DirectX version"},
        {65204, "Aktuell skärmupplösning"},
        {65205, "Modem"},
        {65206, "Mus"},
        {65207, "Tangentbord"},
        {65208, "Standardskrivare"},
        {65209, "Skrivare"},
        {65210, "Enhet "},
        {65211, " ledigt av "},
        {65212, "Hårddiskutrymme"},
        {65213, "Utrymme på nätverksenhet"},
        {65214, "Installerade program"},
        {65215, "Programtillverkare"},
        {65216, "Nätverkskort"},
        {65217, "Lokalt datornamn"},
        {65218, "IP-adress"},
        {65219, "MAC-adress"},
        {65220, "Minne"},
        {65221, " MB"},
        {65222, " GB"},
        {65223, " MB ram"},
        {65224, " MB ledigt"},
        {65225, "Typ"},
        {65226, "Ljudkort"},
        {65227, "Spelport"},
        {65228, "Diskett"},
        {65229, "Hårddisk"},
        {65230, "CD-ROM"},
        {65231, "Bandstation"},
        {65239, "Huvudsystem"},
        {65240, "Processor"},
        {65241, "Frekvens"},
        {65242, "Spänning"},
        {65243, "Sockel"},
        {65244, "Tid sedan senaste start"},
        {65245, "Expansionsplats"},
        {65246, "Windowsversion"},
        {65247, "Registrerad på"},
    });
}

StringTable FinnishStrings() {
    return Finish({
        {65184, "Tietokoneen tekniset tiedot:"},
        {65185, "Järjestelmätiedot"},
        {65200, "Näytönohjain"},
        {65201, "Näyttömuisti"},
        {65202, "(ei ilmoitettu)"},
        {65203, "DirectX-versio"},
        {65204, "Nykyinen näytön tarkkuus"},
        {65205, "Modeemi"},
        {65206, "Hiiri"},
        {65207, "Näppäimistö"},
        {65208, "Oletustulostin"},
        {65209, "Tulostin"},
        {65210, "Asema "},
        {65211, " vapaana / "},
        {65212, "Kiintolevytila"},
        {65213, "Verkkoaseman tila"},
        {65214, "Asennetut ohjelmat"},
        {65215, "Ohjelmiston valmistaja"},
        {65216, "Verkkokortti"},
        {65217, "Paikallinen koneen nimi"},
        {65218, "IP-osoite"},
        {65219, "MAC-osoite"},
        {65220, "Muisti"},
        {65221, " MB"},
        {65222, " GB"},
        {65223, " MB RAM"},
        {65224, " MB vapaana"},
        {65225, "Tyyppi"},
        {65226, "Äänikortti"},
        {65227, "Peliportti"},
        {65228, "Levyke"},
        {65229, "Kiintolevy"},
        {65230, "CD-ROM"},
        {65231, "Nauha-asema"},
        {65239, "Keskusyksikkö"},
        {65240, "Suoritin"},
        {65241, "Taajuus"},
        {65242, "Jännite"},
        {65243, "Kanta"},
        {65244, "Aika edellisestä käynnistyksestä"},
        {65245, "Laajennuspaikka"},
        {65246, "Windows-versio"},
        {65247, "Rekisteröity käyttäjälle"},
    });
}

}  // namespace torvex::app
