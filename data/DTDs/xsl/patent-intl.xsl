<?xml version="1.0" encoding="UTF-8"?>
<!--
  European, international (PCT) and Japanese publications, included by
  patent-common.xsl, whose hooks (see its header) these templates fill; the body -
  description, paragraphs, claims, tables, formulas, figures - is the core's.

    ep-patent-document   the SDOBI front page: each code on a labelled line of its own
                         (codes ending in EP are the office's), parties one per line,
                         the title in the document's language; one claim set per
                         language, headed in its language and anchored by its own id;
                         search report pages as images; the list of references cited
    wo-patent-document   front page with designated states; the structured search report
    jp-official-gazette  front page with the parties of applicant/agent articles, the
                         office's classification terms, the chosen drawing; the numbered
                         sections of the description; figure references by number
    cn-patent-document   the international front page under cn- names, a few Chinese labels
  Labels in German, French and Japanese for what these pages show, in the core's form;
  English is the fallback. Names of this file start with ti-.
-->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
                xmlns:jp="http://www.jpo.go.jp" xmlns:str="http://exslt.org/strings"
                exclude-result-prefixes="jp str">

<!-- ===== Labels (rows for keys the core has give only the languages it lacks) ===== -->

<xsl:variable name="tv-intl-label-rows">
  <l k="publication-number" ja="公開番号" zh="公开号"/>
  <l k="kind" en="Kind of document" de="Dokumentart" fr="Type de document" ja="公報種別"/>
  <l k="publication-date" ja="公開日" zh="公开日"/>
  <l k="application-number" ja="出願番号" zh="申请号"/>
  <l k="filing-date" ja="出願日" zh="申请日"/>
  <l k="priority-claims" ja="優先権" zh="优先权"/>
  <l k="title" en="Title" de="Bezeichnung der Erfindung" fr="Titre de l'invention" ja="発明の名称" zh="发明名称"/>
  <l k="applicants" ja="出願人" zh="申请人"/>
  <l k="inventors" ja="発明者" zh="发明人"/>
  <l k="proprietors" en="Proprietor" de="Patentinhaber" fr="Titulaire" ja="特許権者"/>
  <l k="agents" ja="代理人" zh="代理人"/>
  <l k="representative" en="Representative" de="Vertreter" fr="Mandataire" ja="代理人" zh="代理人"/>
  <l k="opponents" en="Opponents" de="Einsprechende" fr="Opposants" ja="異議申立人"/>
  <l k="ipc" ja="国際特許分類" zh="国际专利分类"/>
  <l k="national-classification" ja="FI"/>
  <l k="references-cited" ja="引用文献"/>
  <l k="states" en="Designated contracting states" de="Benannte Vertragsstaaten" fr="États contractants désignés" ja="指定国"/>
  <l k="extension" en="Extension states" de="Erstreckungsstaaten" fr="États d'extension" ja="拡張国"/>
  <l k="lapse" en="Lapsed in" de="Erloschen in" fr="Déchéance" ja="失効"/>
  <l k="parent" en="Earlier application" de="Frühere Anmeldung" fr="Demande antérieure" ja="原出願"/>
  <l k="b150" en="Correction information" de="Korrekturinformation" fr="Information de correction" ja="訂正情報"/>
  <l k="b860" en="International application" de="Internationale Anmeldung" fr="Demande internationale" ja="国際出願"/>
  <l k="b870" en="International publication" de="Internationale Veröffentlichung" fr="Publication internationale" ja="国際公開"/>
  <l k="remarks" en="Remarks" de="Bemerkungen" fr="Remarques" ja="備考"/>
  <l k="lang-filing" en="Language of filing" de="Einreichungssprache" fr="Langue de dépôt" ja="出願言語"/>
  <l k="lang-procedure" en="Language of proceedings" de="Verfahrenssprache" fr="Langue de la procédure" ja="手続言語"/>
  <l k="lang-pub" en="Language of publication" de="Veröffentlichungssprache" fr="Langue de publication" ja="公開言語"/>
  <l k="exam-request" en="Request for examination" de="Prüfungsantrag" fr="Requête en examen" ja="審査請求"/>
  <l k="exam-report" en="First examination report" de="Erster Prüfungsbescheid" fr="Première notification" ja="最初の審査通知"/>
  <l k="bulletin" en="Bulletin" de="Patentblatt" fr="Bulletin" ja="公報"/>
  <l k="app-published" en="Date of publication of application" de="Veröffentlichungstag der Anmeldung" fr="Date de publication de la demande" ja="出願公開日"/>
  <l k="grant" en="Mention of the grant" de="Hinweis auf die Patenterteilung" fr="Mention de la délivrance" ja="登録公告"/>
  <l k="grant-intent" en="Intention to grant" de="Mitteilung der Erteilungsabsicht" fr="Intention de délivrer" ja="特許査定"/>
  <l k="opposition" en="Decision on opposition" de="Entscheidung über den Einspruch" fr="Décision sur l'opposition" ja="異議決定"/>
  <l k="corrected" en="Correction" de="Berichtigung" fr="Rectification" ja="訂正"/>
  <l k="srep-published" en="Deferred publication of the search report" de="Später veröffentlichter Recherchenbericht" fr="Publication différée du rapport de recherche" ja="調査報告の公開"/>
  <l k="front-page" en="Front page" de="Titelseite" fr="Page de garde" ja="書誌"/>
  <l k="abstract-figure" en="Figure for the abstract" de="Figur zur Zusammenfassung" fr="Figure de l'abrégé" ja="選択図"/>
  <l k="divisional" en="Divisional application" de="Teilanmeldung" fr="Demande divisionnaire" ja="分割出願"/>
  <l k="designation" en="Designated states" de="Bestimmungsstaaten" fr="États désignés" ja="指定国"/>
  <l k="national-states" en="National" de="National" fr="National" ja="国内"/>
  <l k="regional-states" en="Regional" de="Regional" fr="Régional" ja="広域"/>
  <l k="number-of-claims" ja="請求項の数"/>
  <l k="filing-form" en="Filing form" de="Einreichungsform" fr="Forme de dépôt" ja="出願形態"/>
  <l k="pages" en="Total pages" de="Seitenzahl" fr="Nombre de pages" ja="全頁数"/>
  <l k="theme" en="Theme codes" de="Themencodes" fr="Codes de thème" ja="テーマコード"/>
  <l k="fterm" en="F-terms" de="F-Terme" fr="Termes F" ja="Ｆターム"/>
  <l k="yes" en="yes" de="ja" fr="oui" ja="有"/>
  <l k="no" en="no" de="nein" fr="non" ja="未請求"/>
  <l k="registered" en="No." de="Nr." fr="N°" ja="識別番号"/>
  <l k="abstract" ja="要約" zh="摘要"/>
  <l k="description" ja="明細書" zh="说明书"/>
  <l k="claims" ja="特許請求の範囲" zh="权利要求书"/>
  <l k="claim" ja="請求項"/>
  <l k="contents" ja="目次"/>
  <l k="patent-document" ja="特許公報"/>
  <l k="drawings" ja="図面" zh="说明书附图"/>
  <l k="figure" ja="図" zh="图"/>
  <l k="search-report" en="Search report" de="Recherchenbericht" fr="Rapport de recherche" ja="調査報告"/>
  <l k="srep-page" en="Page" de="Seite" fr="Page" ja="頁"/>
  <l k="srep-class" en="Classification of subject matter" de="Klassifizierung des Anmeldungsgegenstands" fr="Classement de l'objet de la demande" ja="発明の属する分野の分類"/>
  <l k="srep-fields" en="Fields searched" de="Recherchierte Sachgebiete" fr="Domaines sur lesquels la recherche a porté" ja="調査を行った分野"/>
  <l k="srep-min-doc" en="Minimum documentation" de="Mindestprüfstoff" fr="Documentation minimale" ja="最小限資料"/>
  <l k="srep-databases" en="Databases" de="Datenbanken" fr="Bases de données" ja="データベース"/>
  <l k="srep-citations" en="Documents considered to be relevant" de="Als wesentlich angesehene Unterlagen" fr="Documents considérés comme pertinents" ja="関連すると認められる文献"/>
  <l k="srep-category" en="Category" de="Kategorie" fr="Catégorie" ja="カテゴリー"/>
  <l k="srep-passages" en="Relevant passages" de="Maßgebliche Teile" fr="Passages pertinents" ja="関連箇所"/>
  <l k="srep-claims" en="Relevant to claims" de="Betrifft Anspruch" fr="Revendications visées" ja="関連する請求項"/>
  <l k="srep-examiner" en="Examiner" de="Prüfer" fr="Examinateur" ja="審査官"/>
  <l k="srep-office" en="Searching authority" de="Recherchenbehörde" fr="Administration chargée de la recherche" ja="国際調査機関"/>
  <l k="srep-completed" en="Date of completion of the search" de="Abschlussdatum der Recherche" fr="Date d'achèvement de la recherche" ja="調査を完了した日"/>
  <l k="srep-mailed" en="Date of mailing" de="Absendedatum" fr="Date d'expédition" ja="発送日"/>
  <l k="srep-family" en="Patent family members" de="Mitglieder der Patentfamilie" fr="Membres de la famille de brevets" ja="パテントファミリー"/>
  <l k="technical-field" en="Technical field" de="Technisches Gebiet" fr="Domaine technique" ja="技術分野"/>
  <l k="background-art" en="Background art" de="Stand der Technik" fr="État de la technique" ja="背景技術"/>
  <l k="citation-list" en="Citation list" de="Zitierte Dokumente" fr="Liste des citations" ja="先行技術文献"/>
  <l k="patent-literature" en="Patent literature" de="Patentliteratur" fr="Littérature brevets" ja="特許文献"/>
  <l k="non-patent-literature" en="Non-patent literature" de="Nichtpatentliteratur" fr="Littérature non-brevets" ja="非特許文献"/>
  <l k="disclosure" en="Disclosure of invention" de="Offenbarung der Erfindung" fr="Exposé de l'invention" ja="発明の開示"/>
  <l k="summary-of-invention" en="Summary of invention" de="Zusammenfassung der Erfindung" fr="Résumé de l'invention" ja="発明の概要"/>
  <l k="tech-problem" en="Technical problem" de="Technische Aufgabe" fr="Problème technique" ja="発明が解決しようとする課題"/>
  <l k="tech-solution" en="Solution to problem" de="Lösung der Aufgabe" fr="Solution au problème" ja="課題を解決するための手段"/>
  <l k="advantageous-effects" en="Advantageous effects of invention" de="Vorteilhafte Wirkungen der Erfindung" fr="Effets avantageux de l'invention" ja="発明の効果"/>
  <l k="description-of-drawings" en="Brief description of drawings" de="Kurze Beschreibung der Zeichnungen" fr="Brève description des dessins" ja="図面の簡単な説明"/>
  <l k="description-of-embodiments" en="Description of embodiments" de="Beschreibung der Ausführungsformen" fr="Description des modes de réalisation" ja="発明を実施するための形態"/>
  <l k="best-mode" en="Best mode for carrying out the invention" de="Beste Ausführungsform der Erfindung" fr="Meilleure manière de réaliser l'invention" ja="発明を実施するための最良の形態"/>
  <l k="mode-for-invention" en="Mode for the invention" de="Ausführungsform der Erfindung" fr="Mode de réalisation de l'invention" ja="発明の実施の形態"/>
  <l k="industrial-applicability" en="Industrial applicability" de="Gewerbliche Anwendbarkeit" fr="Application industrielle" ja="産業上の利用可能性"/>
  <l k="reference-signs-list" en="Reference signs list" de="Bezugszeichenliste" fr="Liste des signes de référence" ja="符号の説明"/>
  <l k="sequence-list-text" en="Sequence listing free text" de="Freier Text des Sequenzprotokolls" fr="Texte libre de la liste de séquences" ja="配列表フリーテキスト"/>
  <l k="en" en="English" de="Englisch" fr="anglais" ja="英語"/>
  <l k="de" en="German" de="Deutsch" fr="allemand" ja="ドイツ語"/>
  <l k="fr" en="French" de="Französisch" fr="français" ja="フランス語"/>
  <l k="ja" en="Japanese" de="Japanisch" fr="japonais" ja="日本語"/>
</xsl:variable>

<xsl:template name="ti-label">
  <xsl:param name="k"/>
  <xsl:param name="lang" select="$tv-lang"/>
  <xsl:call-template name="tv-label">
    <xsl:with-param name="key" select="$k"/><xsl:with-param name="lang" select="$lang"/>
  </xsl:call-template>
</xsl:template>

<xsl:template name="ti-lang-of">
  <xsl:param name="s"/>
  <xsl:value-of select="substring(translate(normalize-space($s), 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz'), 1, 2)"/>
</xsl:template>

<!-- ===== Shared pieces ===== -->

<!-- A header row whose value is markup; shown only when it holds text. -->
<xsl:template name="ti-row">
  <xsl:param name="k"/>
  <xsl:param name="body"/>
  <xsl:call-template name="tv-field">
    <xsl:with-param name="key" select="$k"/><xsl:with-param name="value" select="$body"/>
  </xsl:call-template>
</xsl:template>

<xsl:template name="ti-date">
  <xsl:param name="d" select="normalize-space(date)"/>
  <xsl:call-template name="tv-date"><xsl:with-param name="d" select="$d"/></xsl:call-template>
</xsl:template>

<!-- The words of an element, those of separate children kept apart. -->
<xsl:template name="ti-words">
  <xsl:variable name="w"><xsl:for-each select=".//text()"><xsl:value-of select="concat(., ' ')"/></xsl:for-each></xsl:variable>
  <xsl:value-of select="normalize-space($w)"/>
</xsl:template>

<!-- "de" reads "German" in the page's language, followed by the code. -->
<xsl:template name="ti-language-name">
  <xsl:variable name="code"><xsl:call-template name="ti-lang-of"><xsl:with-param name="s" select="."/></xsl:call-template></xsl:variable>
  <xsl:choose>
    <xsl:when test="$code = 'en' or $code = 'de' or $code = 'fr' or $code = 'ja'">
      <xsl:call-template name="ti-label"><xsl:with-param name="k" select="$code"/></xsl:call-template>
      <xsl:value-of select="concat(' (', normalize-space(.), ')')"/>
    </xsl:when>
    <xsl:otherwise><xsl:value-of select="normalize-space(.)"/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<xsl:template name="ti-country-list">
  <xsl:for-each select=".//ctry | .//country">
    <xsl:value-of select="normalize-space(.)"/>
    <xsl:if test="position() != last()"><xsl:text> </xsl:text></xsl:if>
  </xsl:for-each>
</xsl:template>

<!-- Japanese texts bracket their headings and figure numbers: 【図1】. -->
<xsl:template name="ti-bracketed">
  <xsl:param name="s"/>
  <xsl:choose>
    <xsl:when test="$tv-lang = 'ja'"><xsl:value-of select="concat('【', $s, '】')"/></xsl:when>
    <xsl:otherwise><xsl:value-of select="$s"/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- ===== European publications: the SDOBI front page ===== -->

<!-- The title in the document's language, else the first one given. -->
<xsl:template match="ep-patent-document" mode="tv-title" priority="2">
  <xsl:variable name="titles" select="SDOBI/B500/B540/B542"/>
  <xsl:variable name="own" select="$titles[preceding-sibling::B541[1] = $tv-lang]"/>
  <xsl:value-of select="normalize-space(($own | $titles[not($own)])[1])"/>
</xsl:template>

<!-- The codes in their order, the office's remarks last. -->
<xsl:template match="ep-patent-document/SDOBI" priority="2">
  <xsl:apply-templates select="*[not(self::B000)]" mode="tv-bcode"/>
  <xsl:apply-templates select="B000" mode="tv-bcode"/>
</xsl:template>

<!-- The office's tags: production data (designation flags, typesetting tool) is not
     shown; remarks are. -->
<xsl:template match="ep-patent-document/SDOBI/B000" mode="tv-bcode" priority="2">
  <xsl:apply-templates select="eptags/*[not(self::B001EP or self::B005EP or self::B007EP)]" mode="tv-bcode"/>
</xsl:template>

<xsl:template match="ep-patent-document/SDOBI/B000/eptags/*" mode="tv-bcode" priority="1">
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k" select="'remarks'"/>
    <xsl:with-param name="body"><xsl:call-template name="ti-words"/></xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- Any other code the core does not show: labelled by its code from the tables,
     dates in it formatted. -->
<xsl:template match="ep-patent-document/SDOBI/*/*" mode="tv-bcode" priority="-0.25">
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k" select="translate(local-name(), 'BEP', 'bep')"/>
    <xsl:with-param name="body"><xsl:call-template name="ti-dated-words"/></xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- An international application or publication (Euro-PCT): number and date. -->
<xsl:template match="ep-patent-document/SDOBI/B800/B860 | ep-patent-document/SDOBI/B800/B870"
              mode="tv-bcode" priority="3">
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k" select="translate(local-name(), 'B', 'b')"/>
    <xsl:with-param name="body">
      <xsl:for-each select="*">
        <div><xsl:call-template name="ti-dated-words"/></div>
      </xsl:for-each>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<xsl:template name="ti-dated-words">
  <xsl:variable name="w">
    <xsl:for-each select=".//text()">
      <xsl:choose>
        <xsl:when test="parent::date"><xsl:call-template name="ti-date"><xsl:with-param name="d" select="normalize-space(.)"/></xsl:call-template></xsl:when>
        <xsl:otherwise><xsl:value-of select="."/></xsl:otherwise>
      </xsl:choose>
      <xsl:text> </xsl:text>
    </xsl:for-each>
  </xsl:variable>
  <xsl:value-of select="normalize-space($w)"/>
</xsl:template>

<!-- Remarks in each language, such as the note on a divisional application. -->
<xsl:template match="B050EP" mode="tv-bcode" priority="2">
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k" select="'remarks'"/>
    <xsl:with-param name="body">
      <xsl:for-each select="B052EP">
        <div lang="{normalize-space(preceding-sibling::B051EP[1])}"><xsl:value-of select="normalize-space(.)"/></div>
      </xsl:for-each>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<xsl:template match="ep-patent-document/SDOBI/B100/B120" mode="tv-bcode" priority="2">
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k" select="'kind'"/>
    <xsl:with-param name="body">
      <xsl:for-each select="*"><div><xsl:value-of select="normalize-space(.)"/></div></xsl:for-each>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<xsl:template match="ep-patent-document/SDOBI/B200/B240" mode="tv-bcode" priority="2">
  <xsl:for-each select="B241 | B242">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k">
        <xsl:choose>
          <xsl:when test="self::B241">exam-request</xsl:when>
          <xsl:otherwise>exam-report</xsl:otherwise>
        </xsl:choose>
      </xsl:with-param>
      <xsl:with-param name="body"><xsl:call-template name="ti-date"/></xsl:with-param>
    </xsl:call-template>
  </xsl:for-each>
</xsl:template>

<xsl:template match="ep-patent-document/SDOBI/B200/B250 | ep-patent-document/SDOBI/B200/B251EP |
                     ep-patent-document/SDOBI/B200/B260" mode="tv-bcode" priority="2">
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k">
      <xsl:choose>
        <xsl:when test="self::B250">lang-filing</xsl:when>
        <xsl:when test="self::B251EP">lang-procedure</xsl:when>
        <xsl:otherwise>lang-pub</xsl:otherwise>
      </xsl:choose>
    </xsl:with-param>
    <xsl:with-param name="body"><xsl:call-template name="ti-language-name"/></xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- Priorities: number, date and country come as runs of siblings, one claim each. -->
<xsl:template match="ep-patent-document/SDOBI/B300" mode="tv-bcode" priority="2">
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k" select="'priority-claims'"/>
    <xsl:with-param name="body">
      <xsl:for-each select="B310">
        <xsl:variable name="i" select="count(preceding-sibling::B310) + 1"/>
        <div class="priority">
          <xsl:value-of select="normalize-space(.)"/>
          <xsl:for-each select="../B320[$i]"><xsl:text>, </xsl:text><xsl:call-template name="ti-date"/></xsl:for-each>
          <xsl:for-each select="../B330[$i]"><xsl:value-of select="concat(', ', normalize-space(.))"/></xsl:for-each>
        </div>
      </xsl:for-each>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- Dates of publication and of the procedure, each with its bulletin. -->
<xsl:template match="ep-patent-document/SDOBI/B400/*" mode="tv-bcode" priority="2">
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k">
      <xsl:choose>
        <xsl:when test="self::B405">bulletin</xsl:when>
        <xsl:when test="self::B430">app-published</xsl:when>
        <xsl:when test="self::B450">grant</xsl:when>
        <xsl:when test="self::B452EP">grant-intent</xsl:when>
        <xsl:when test="self::B477">opposition</xsl:when>
        <xsl:when test="self::B480">corrected</xsl:when>
        <xsl:otherwise>publication-date</xsl:otherwise>
      </xsl:choose>
    </xsl:with-param>
    <xsl:with-param name="body">
      <xsl:choose>
        <!-- This publication's own bulletin: its date is the publication date above. -->
        <xsl:when test="self::B405 and bnum">
          <xsl:call-template name="ti-bulletin"><xsl:with-param name="b" select="normalize-space(bnum)"/></xsl:call-template>
        </xsl:when>
        <xsl:otherwise><xsl:call-template name="ti-dated"/></xsl:otherwise>
      </xsl:choose>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- A date with its bulletin number (2009/43 for 200943). -->
<xsl:template name="ti-dated">
  <xsl:call-template name="ti-date"/>
  <xsl:for-each select="bnum">
    <xsl:variable name="b" select="normalize-space(.)"/>
    <xsl:text> </xsl:text>
    <span class="bulletin">
      <xsl:text>(</xsl:text>
      <xsl:call-template name="ti-label"><xsl:with-param name="k" select="'bulletin'"/></xsl:call-template>
      <xsl:text> </xsl:text>
      <xsl:call-template name="ti-bulletin"><xsl:with-param name="b" select="$b"/></xsl:call-template>
      <xsl:text>)</xsl:text>
    </span>
  </xsl:for-each>
</xsl:template>

<xsl:template name="ti-bulletin">
  <xsl:param name="b"/>
  <xsl:choose>
    <xsl:when test="string-length($b) = 6 and translate($b, '0123456789', '') = ''">
      <xsl:value-of select="concat(substring($b, 1, 4), '/', substring($b, 5, 2))"/>
    </xsl:when>
    <xsl:otherwise><xsl:value-of select="$b"/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- Lapses: date and country pairs. -->
<xsl:template match="ep-patent-document/SDOBI/B400/B472" mode="tv-bcode" priority="3">
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k" select="'lapse'"/>
    <xsl:with-param name="body">
      <xsl:for-each select=".//ctry">
        <span class="lapse">
          <xsl:value-of select="normalize-space(.)"/>
          <xsl:for-each select="preceding-sibling::*[1][self::date]">
            <xsl:text> </xsl:text><xsl:call-template name="ti-date"><xsl:with-param name="d" select="normalize-space(.)"/></xsl:call-template>
          </xsl:for-each>
        </span>
        <xsl:if test="position() != last()"><xsl:text>; </xsl:text></xsl:if>
      </xsl:for-each>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<xsl:template match="ep-patent-document/SDOBI/B500/B510EP | ep-patent-document/SDOBI/B500/B510" mode="tv-bcode" priority="2">
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k" select="'ipc'"/>
    <xsl:with-param name="body">
      <xsl:for-each select="classification-ipcr | *[not(self::classification-ipcr)]">
        <div class="ipc"><xsl:value-of select="normalize-space(.)"/></div>
      </xsl:for-each>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- The title in every language given (the heading shows the document's own). -->
<xsl:template match="ep-patent-document/SDOBI/B500/B540" mode="tv-bcode" priority="2">
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k" select="'title'"/>
    <xsl:with-param name="body">
      <xsl:for-each select="B542">
        <div class="title" lang="{normalize-space(preceding-sibling::B541[1])}"><xsl:value-of select="normalize-space(.)"/></div>
      </xsl:for-each>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<xsl:template match="ep-patent-document/SDOBI/B500/B560" mode="tv-bcode" priority="2">
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k" select="'references-cited'"/>
    <xsl:with-param name="body">
      <ul class="cited">
        <xsl:for-each select="*"><li><xsl:call-template name="ti-words"/></li></xsl:for-each>
      </ul>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<xsl:template match="ep-patent-document/SDOBI/B500/B590" mode="tv-bcode" priority="2">
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k" select="'abstract-figure'"/>
    <xsl:with-param name="body"><xsl:call-template name="ti-words"/></xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- The earlier application of a divisional, with its publication. -->
<xsl:template match="ep-patent-document/SDOBI/B600" mode="tv-bcode" priority="2">
  <xsl:apply-templates select="*" mode="tv-bcode"/>
</xsl:template>

<xsl:template match="ep-patent-document/SDOBI/B600/*" mode="tv-bcode" priority="2">
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k" select="'parent'"/>
    <xsl:with-param name="body">
      <xsl:for-each select=".//cdoc | .//pdoc">
        <div>
          <xsl:value-of select="normalize-space(.//anum)"/>
          <xsl:if test=".//pnum"><xsl:value-of select="concat(' / EP ', normalize-space(.//pnum))"/></xsl:if>
          <xsl:for-each select="date"><xsl:text>, </xsl:text><xsl:call-template name="ti-date"><xsl:with-param name="d" select="normalize-space(.)"/></xsl:call-template></xsl:for-each>
        </div>
      </xsl:for-each>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<xsl:template match="ep-patent-document/SDOBI/B700/*" mode="tv-bcode" priority="2">
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k">
      <xsl:choose>
        <xsl:when test="self::B710">applicants</xsl:when>
        <xsl:when test="self::B720">inventors</xsl:when>
        <xsl:when test="self::B730">proprietors</xsl:when>
        <xsl:when test="self::B740">representative</xsl:when>
        <xsl:otherwise>opponents</xsl:otherwise>
      </xsl:choose>
    </xsl:with-param>
    <xsl:with-param name="body"><xsl:apply-templates select="*" mode="ti-ep-party"/></xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- A party on its line: name, then street, town and country; an opponent's date of
     opposition after it and its representative on the next line. -->
<xsl:template match="*" mode="ti-ep-party">
  <xsl:call-template name="tv-party-line">
    <xsl:with-param name="name" select="normalize-space(concat(snm, ' ', sfx))"/>
    <xsl:with-param name="place">
      <xsl:for-each select="adr/*">
        <xsl:value-of select="normalize-space(.)"/>
        <xsl:if test="position() != last()"><xsl:text>, </xsl:text></xsl:if>
      </xsl:for-each>
      <xsl:for-each select="date">
        <xsl:text>; </xsl:text><xsl:call-template name="ti-date"><xsl:with-param name="d" select="normalize-space(.)"/></xsl:call-template>
      </xsl:for-each>
    </xsl:with-param>
  </xsl:call-template>
  <xsl:for-each select="B784">
    <div class="representative">
      <xsl:call-template name="ti-label"><xsl:with-param name="k" select="'representative'"/></xsl:call-template>
      <xsl:text>: </xsl:text>
      <xsl:apply-templates select="." mode="ti-ep-party"/>
    </div>
  </xsl:for-each>
</xsl:template>

<xsl:template match="ep-patent-document/SDOBI/B800/B840 | ep-patent-document/SDOBI/B800/B844EP |
                     ep-patent-document/SDOBI/B800/B880" mode="tv-bcode" priority="2">
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k">
      <xsl:choose>
        <xsl:when test="self::B840">states</xsl:when>
        <xsl:when test="self::B844EP">extension</xsl:when>
        <xsl:otherwise>srep-published</xsl:otherwise>
      </xsl:choose>
    </xsl:with-param>
    <xsl:with-param name="body">
      <xsl:choose>
        <xsl:when test="self::B840 or self::B844EP"><xsl:call-template name="ti-country-list"/></xsl:when>
        <xsl:otherwise><xsl:call-template name="ti-dated"/></xsl:otherwise>
      </xsl:choose>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- ===== Claim sets, references, search reports ===== -->

<!-- One claim set per language, headed in that language and anchored apart: the first
     at #claims, where the table of contents points, the others by their own ids. -->
<xsl:template match="ep-patent-document/claims | wo-patent-document/claims | jp-official-gazette/claims"
              mode="tv-section" priority="2">
  <xsl:variable name="lang">
    <xsl:choose>
      <xsl:when test="normalize-space(@lang) != ''">
        <xsl:call-template name="ti-lang-of"><xsl:with-param name="s" select="@lang"/></xsl:call-template>
      </xsl:when>
      <xsl:otherwise><xsl:value-of select="$tv-lang"/></xsl:otherwise>
    </xsl:choose>
  </xsl:variable>
  <xsl:variable name="first" select="not(preceding-sibling::claims) and not(//*[@id = 'claims'])"/>
  <xsl:call-template name="tv-claims">
    <xsl:with-param name="id">
      <xsl:choose>
        <xsl:when test="$first">claims</xsl:when>
        <xsl:when test="@id and count(//*[@id = current()/@id]) = 1"><xsl:value-of select="@id"/></xsl:when>
        <xsl:otherwise><xsl:value-of select="concat('claims-', count(preceding-sibling::claims) + 1, '-', $lang)"/></xsl:otherwise>
      </xsl:choose>
    </xsl:with-param>
    <xsl:with-param name="lang" select="$lang"/>
  </xsl:call-template>
</xsl:template>

<!-- Abstracts in further languages: headed in their language, anchored apart. -->
<xsl:template match="ep-patent-document/abstract[preceding-sibling::abstract]" mode="tv-section" priority="2">
  <xsl:variable name="lang">
    <xsl:call-template name="ti-lang-of"><xsl:with-param name="s" select="@lang"/></xsl:call-template>
  </xsl:variable>
  <section class="abstract" id="abstract-{count(preceding-sibling::abstract) + 1}" lang="{$lang}">
    <h2><xsl:call-template name="ti-label"><xsl:with-param name="k" select="'abstract'"/><xsl:with-param name="lang" select="$lang"/></xsl:call-template></h2>
    <xsl:apply-templates/>
  </section>
</xsl:template>

<!-- The list of references cited brings its own headings. -->
<xsl:template match="ep-reference-list" mode="tv-section" priority="2">
  <section class="references">
    <xsl:call-template name="tv-ids"/>
    <xsl:apply-templates/>
  </section>
</xsl:template>

<!-- A reference back to where the description cites the document. -->
<xsl:template match="crossref" priority="2">
  <xsl:choose>
    <xsl:when test="@idref and //*[@id = current()/@idref]"><a class="crossref" href="#{@idref}"><xsl:apply-templates/></a></xsl:when>
    <xsl:otherwise><xsl:apply-templates/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- A reference to several figures or claims at once ("f0002 f0003") links to the first
     of them that the document holds. -->
<xsl:template match="figref[contains(normalize-space(@idref), ' ')] | claim-ref[contains(normalize-space(@idref), ' ')]"
              priority="2">
  <xsl:variable name="ids" select="str:tokenize(@idref, ' ')"/>
  <xsl:variable name="to" select="(//*[@id = $ids])[1]/@id"/>
  <xsl:choose>
    <xsl:when test="$to"><a class="{local-name()}" href="#{$to}"><xsl:apply-templates/></a></xsl:when>
    <xsl:otherwise><xsl:apply-templates/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- The description's title repeated at its top (international publications). -->
<xsl:template match="description/invention-title" priority="2">
  <p class="invention-title"><b><xsl:apply-templates/></b></p>
</xsl:template>

<xsl:template match="search-report-data" mode="tv-section" priority="2">
  <section class="search-report" id="search-report">
    <h2><xsl:call-template name="ti-label"><xsl:with-param name="k" select="'search-report'"/></xsl:call-template></h2>
    <xsl:apply-templates select="*" mode="ti-srep"/>
  </section>
</xsl:template>

<!-- A scanned page of the report, shown like a drawing sheet. -->
<xsl:template match="doc-page" mode="ti-srep">
  <div class="figure srep-page">
    <xsl:call-template name="tv-ids"/>
    <div class="fig-title">
      <xsl:call-template name="ti-label"><xsl:with-param name="k" select="'srep-page'"/></xsl:call-template>
      <xsl:value-of select="concat(' ', count(preceding-sibling::doc-page) + 1)"/>
    </div>
    <xsl:call-template name="tv-image"><xsl:with-param name="drawing" select="1"/></xsl:call-template>
  </div>
</xsl:template>

<xsl:template match="srep-for-pub" mode="ti-srep">
  <table class="biblio srep">
    <xsl:for-each select="classification-ipc | classification-ipcr | classifications-ipcr">
      <xsl:call-template name="ti-row">
        <xsl:with-param name="k" select="'srep-class'"/>
        <xsl:with-param name="body"><xsl:call-template name="ti-classification"/></xsl:with-param>
      </xsl:call-template>
    </xsl:for-each>
    <xsl:for-each select="srep-fields-searched">
      <xsl:call-template name="ti-row">
        <xsl:with-param name="k" select="'srep-fields'"/>
        <xsl:with-param name="body">
          <xsl:for-each select="*">
            <div>
              <xsl:choose>
                <xsl:when test="self::minimum-documentation">
                  <xsl:call-template name="ti-label"><xsl:with-param name="k" select="'srep-min-doc'"/></xsl:call-template>
                  <xsl:text>: </xsl:text>
                  <xsl:for-each select="*"><xsl:call-template name="ti-classification"/></xsl:for-each>
                </xsl:when>
                <xsl:when test="self::database-searched">
                  <xsl:call-template name="ti-label"><xsl:with-param name="k" select="'srep-databases'"/></xsl:call-template>
                  <xsl:text>: </xsl:text><xsl:call-template name="ti-words"/>
                </xsl:when>
                <xsl:otherwise><xsl:call-template name="ti-words"/></xsl:otherwise>
              </xsl:choose>
            </div>
          </xsl:for-each>
        </xsl:with-param>
      </xsl:call-template>
    </xsl:for-each>
    <xsl:for-each select="srep-admin/*">
      <xsl:call-template name="ti-row">
        <xsl:with-param name="k">
          <xsl:choose>
            <xsl:when test="self::examiners">srep-examiner</xsl:when>
            <xsl:when test="self::srep-office">srep-office</xsl:when>
            <xsl:when test="self::completion-date">srep-completed</xsl:when>
            <xsl:when test="self::date-of-mailing">srep-mailed</xsl:when>
            <xsl:otherwise>remarks</xsl:otherwise>
          </xsl:choose>
        </xsl:with-param>
        <xsl:with-param name="body">
          <xsl:choose>
            <xsl:when test="date"><xsl:call-template name="ti-date"/></xsl:when>
            <xsl:otherwise><xsl:call-template name="ti-words"/></xsl:otherwise>
          </xsl:choose>
        </xsl:with-param>
      </xsl:call-template>
    </xsl:for-each>
  </table>
  <xsl:for-each select="srep-citations">
    <h3><xsl:call-template name="ti-label"><xsl:with-param name="k" select="'srep-citations'"/></xsl:call-template></h3>
    <table class="srep-citations">
      <tr>
        <th><xsl:call-template name="ti-label"><xsl:with-param name="k" select="'srep-category'"/></xsl:call-template></th>
        <th><xsl:call-template name="ti-label"><xsl:with-param name="k" select="'references-cited'"/></xsl:call-template></th>
        <th><xsl:call-template name="ti-label"><xsl:with-param name="k" select="'srep-claims'"/></xsl:call-template></th>
      </tr>
      <xsl:for-each select="citation">
        <tr>
          <td class="category"><xsl:value-of select="normalize-space(.//category)"/></td>
          <td>
            <xsl:for-each select="*/document-id | nplcit | text">
              <div class="cited"><xsl:call-template name="ti-docid"/></div>
            </xsl:for-each>
            <xsl:for-each select=".//passage">
              <div class="passage"><xsl:value-of select="normalize-space(.)"/></div>
            </xsl:for-each>
          </td>
          <td><xsl:value-of select="normalize-space(.//rel-claims)"/></td>
        </tr>
      </xsl:for-each>
    </table>
  </xsl:for-each>
  <xsl:for-each select="srep-patent-family">
    <h3><xsl:call-template name="ti-label"><xsl:with-param name="k" select="'srep-family'"/></xsl:call-template></h3>
    <ul class="family">
      <xsl:for-each select="patent-family">
        <li>
          <xsl:for-each select="priority-application">
            <xsl:for-each select="document-id"><xsl:call-template name="ti-docid"/></xsl:for-each>
            <xsl:for-each select="text"><xsl:value-of select="concat(': ', normalize-space(.))"/></xsl:for-each>
          </xsl:for-each>
          <xsl:for-each select=".//family-member/document-id">
            <div class="member"><xsl:call-template name="ti-docid"/></div>
          </xsl:for-each>
        </li>
      </xsl:for-each>
    </ul>
  </xsl:for-each>
</xsl:template>

<xsl:template match="*" mode="ti-srep">
  <div class="srep-other"><xsl:apply-templates/></div>
</xsl:template>

<!-- A cited document on one line: country, number, kind, name, date. -->
<xsl:template name="ti-docid">
  <xsl:choose>
    <xsl:when test="country | doc-number">
      <xsl:value-of select="normalize-space(concat(country, ' ', doc-number, ' ', kind))"/>
      <xsl:if test="name"><xsl:value-of select="concat(' (', normalize-space(name), ')')"/></xsl:if>
      <xsl:for-each select="date"><xsl:text>, </xsl:text><xsl:call-template name="ti-date"><xsl:with-param name="d" select="normalize-space(.)"/></xsl:call-template></xsl:for-each>
    </xsl:when>
    <xsl:otherwise><xsl:call-template name="ti-words"/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- An IPC entry: its symbols, the edition after the first. -->
<xsl:template name="ti-classification">
  <xsl:for-each select="main-classification | further-classification | main-clsf | further-clsf | classification-ipcr/text | text">
    <div class="ipc">
      <xsl:value-of select="normalize-space(.)"/>
      <xsl:if test="position() = 1 and normalize-space(../edition) != ''">
        <xsl:value-of select="concat(' (', normalize-space(../edition), ')')"/>
      </xsl:if>
    </div>
  </xsl:for-each>
</xsl:template>

<!-- ===== International and Japanese front pages ===== -->

<xsl:template match="wo-patent-document | jp-official-gazette | cn-patent-document" mode="tv-biblio-rows" priority="2">
  <xsl:apply-templates select="bibliographic-data | cn-bibliographic-data" mode="ti-front"/>
</xsl:template>

<!-- Chinese documents: the same front page with cn- names; the body's parts are
     sections of the page. -->
<xsl:template match="cn-patent-document/application-body" mode="tv-section" priority="2">
  <xsl:apply-templates select="*" mode="tv-section"/>
</xsl:template>

<!-- Shown in the front page's rows, or nothing to show. -->
<xsl:template match="jp:image-of-bibliographic-data | jp:image-of-chosen-drawing | jp:abstract-correction"
              mode="tv-section" priority="2"/>

<xsl:template match="bibliographic-data | cn-bibliographic-data" mode="ti-front">
  <xsl:for-each select="plain-language-designation">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'kind'"/><xsl:with-param name="body" select="normalize-space(.)"/>
    </xsl:call-template>
  </xsl:for-each>
  <xsl:for-each select="(publication-reference | cn-publication-reference)/document-id">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'publication-number'"/>
      <xsl:with-param name="body">
        <xsl:value-of select="normalize-space(concat(country, ' ', doc-number))"/>
        <!-- A Japanese kind is a phrase ("公開特許公報(A)"), on a row of its own. -->
        <xsl:if test="string-length(normalize-space(kind)) &lt;= 2"><xsl:value-of select="concat(' ', normalize-space(kind))"/></xsl:if>
      </xsl:with-param>
    </xsl:call-template>
    <xsl:if test="string-length(normalize-space(kind)) &gt; 2">
      <xsl:call-template name="ti-row">
        <xsl:with-param name="k" select="'kind'"/><xsl:with-param name="body" select="normalize-space(kind)"/>
      </xsl:call-template>
    </xsl:if>
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'publication-date'"/>
      <xsl:with-param name="body"><xsl:call-template name="ti-date"/></xsl:with-param>
    </xsl:call-template>
  </xsl:for-each>
  <xsl:for-each select="(application-reference | cn-application-reference)/document-id">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'application-number'"/>
      <xsl:with-param name="body">
        <xsl:value-of select="normalize-space(concat(country, ' ', doc-number))"/>
        <xsl:if test="../@appl-type = 'PCT'"> (PCT)</xsl:if>
      </xsl:with-param>
    </xsl:call-template>
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'filing-date'"/>
      <xsl:with-param name="body"><xsl:call-template name="ti-date"/></xsl:with-param>
    </xsl:call-template>
  </xsl:for-each>
  <xsl:for-each select="language-of-filing | language-of-publication">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k">
        <xsl:choose>
          <xsl:when test="self::language-of-filing">lang-filing</xsl:when>
          <xsl:otherwise>lang-pub</xsl:otherwise>
        </xsl:choose>
      </xsl:with-param>
      <xsl:with-param name="body"><xsl:call-template name="ti-language-name"/></xsl:with-param>
    </xsl:call-template>
  </xsl:for-each>
  <xsl:for-each select="(priority-claims | cn-priority-claims)[*]">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'priority-claims'"/>
      <xsl:with-param name="body">
        <xsl:for-each select="*">
          <div class="priority">
            <xsl:value-of select="normalize-space(doc-number)"/>
            <xsl:for-each select="date"><xsl:text>, </xsl:text><xsl:call-template name="ti-date"><xsl:with-param name="d" select="normalize-space(.)"/></xsl:call-template></xsl:for-each>
            <xsl:if test="country"><xsl:value-of select="concat(', ', normalize-space(country))"/></xsl:if>
          </div>
        </xsl:for-each>
      </xsl:with-param>
    </xsl:call-template>
  </xsl:for-each>
  <xsl:for-each select="classification-ipc | classifications-ipcr | classification-national">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k">
        <xsl:choose>
          <xsl:when test="self::classification-national">national-classification</xsl:when>
          <xsl:otherwise>ipc</xsl:otherwise>
        </xsl:choose>
      </xsl:with-param>
      <xsl:with-param name="body"><xsl:call-template name="ti-classification"/></xsl:with-param>
    </xsl:call-template>
  </xsl:for-each>
  <xsl:for-each select="jp:theme-code-info | jp:f-term-info">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k">
        <xsl:choose>
          <xsl:when test="self::jp:theme-code-info">theme</xsl:when>
          <xsl:otherwise>fterm</xsl:otherwise>
        </xsl:choose>
      </xsl:with-param>
      <xsl:with-param name="body"><xsl:call-template name="ti-words"/></xsl:with-param>
    </xsl:call-template>
  </xsl:for-each>
  <xsl:apply-templates select="parties | cn-parties" mode="ti-front"/>
  <xsl:for-each select="designation-of-states">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'designation'"/>
      <xsl:with-param name="body">
        <xsl:for-each select=".//national">
          <div>
            <xsl:call-template name="ti-label"><xsl:with-param name="k" select="'national-states'"/></xsl:call-template>
            <xsl:text>: </xsl:text><xsl:call-template name="ti-country-list"/>
          </div>
        </xsl:for-each>
        <!-- A regional group: its office, then the states. -->
        <xsl:for-each select=".//region">
          <div>
            <xsl:call-template name="ti-label"><xsl:with-param name="k" select="'regional-states'"/></xsl:call-template>
            <xsl:value-of select="concat(' ', normalize-space(country[1]), ': ')"/>
            <xsl:for-each select="country[position() &gt; 1]">
              <xsl:value-of select="normalize-space(.)"/>
              <xsl:if test="position() != last()"><xsl:text> </xsl:text></xsl:if>
            </xsl:for-each>
          </div>
        </xsl:for-each>
      </xsl:with-param>
    </xsl:call-template>
  </xsl:for-each>
  <xsl:for-each select="number-of-claims | jp:filing-form | jp:total-pages">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k">
        <xsl:choose>
          <xsl:when test="self::number-of-claims">number-of-claims</xsl:when>
          <xsl:when test="self::jp:filing-form">filing-form</xsl:when>
          <xsl:otherwise>pages</xsl:otherwise>
        </xsl:choose>
      </xsl:with-param>
      <xsl:with-param name="body" select="normalize-space(.)"/>
    </xsl:call-template>
  </xsl:for-each>
  <xsl:for-each select="jp:request-for-examination">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'exam-request'"/>
      <xsl:with-param name="body">
        <xsl:call-template name="ti-label">
          <xsl:with-param name="k">
            <xsl:choose>
              <xsl:when test="@true-or-false = 'false'">no</xsl:when>
              <xsl:otherwise>yes</xsl:otherwise>
            </xsl:choose>
          </xsl:with-param>
        </xsl:call-template>
      </xsl:with-param>
    </xsl:call-template>
  </xsl:for-each>
  <!-- The drawing chosen for the front page, and the front page as printed. -->
  <xsl:variable name="chosen" select="../jp:image-of-chosen-drawing//img"/>
  <xsl:if test="figure-to-publish | $chosen">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'abstract-figure'"/>
      <xsl:with-param name="body">
        <xsl:for-each select="figure-to-publish">
          <xsl:call-template name="ti-label"><xsl:with-param name="k" select="'figure'"/></xsl:call-template>
          <xsl:value-of select="concat(' ', normalize-space(.))"/>
        </xsl:for-each>
        <xsl:for-each select="$chosen">
          <div class="figure"><xsl:call-template name="tv-image"><xsl:with-param name="drawing" select="1"/></xsl:call-template></div>
        </xsl:for-each>
      </xsl:with-param>
    </xsl:call-template>
  </xsl:if>
  <xsl:for-each select="../jp:image-of-bibliographic-data//img">
    <tr>
      <th><xsl:call-template name="ti-label"><xsl:with-param name="k" select="'front-page'"/></xsl:call-template></th>
      <td><div class="figure"><xsl:call-template name="tv-image"><xsl:with-param name="drawing" select="1"/></xsl:call-template></div></td>
    </tr>
  </xsl:for-each>
</xsl:template>

<!-- Parties by role, whether listed directly or grouped in applicant/agent articles. -->
<xsl:template match="parties | cn-parties" mode="ti-front">
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k" select="'applicants'"/>
    <xsl:with-param name="body"><xsl:apply-templates select=".//applicant | .//cn-applicant" mode="ti-party"/></xsl:with-param>
  </xsl:call-template>
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k" select="'inventors'"/>
    <xsl:with-param name="body"><xsl:apply-templates select=".//inventor | .//cn-inventor" mode="ti-party"/></xsl:with-param>
  </xsl:call-template>
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k" select="'representative'"/>
    <xsl:with-param name="body"><xsl:apply-templates select=".//agent | .//cn-agent" mode="ti-party"/></xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- One party per line: the organisation or the person's names in reading order, then
     the address (its parts, or its one line of text) and country; a Japanese
     registration number after it. -->
<xsl:template match="*" mode="ti-party">
  <xsl:variable name="a" select="addressbook[1] | self::*[not(addressbook)]"/>
  <xsl:call-template name="tv-party-line">
    <xsl:with-param name="name">
      <xsl:choose>
        <xsl:when test="$a/name"><xsl:value-of select="$a/name"/></xsl:when>
        <xsl:when test="$a/last-name | $a/first-name">
          <xsl:value-of select="concat($a/prefix, ' ', $a/first-name, ' ', $a/middle-name, ' ', $a/last-name)"/>
          <xsl:if test="$a/suffix"><xsl:value-of select="concat(', ', normalize-space($a/suffix))"/></xsl:if>
          <xsl:if test="$a/orgname"><xsl:value-of select="concat(', ', normalize-space($a/orgname))"/></xsl:if>
        </xsl:when>
        <xsl:when test="$a/orgname"><xsl:value-of select="$a/orgname"/></xsl:when>
        <xsl:otherwise><xsl:call-template name="ti-words"/></xsl:otherwise>
      </xsl:choose>
    </xsl:with-param>
    <xsl:with-param name="place">
      <xsl:for-each select="$a/address">
        <xsl:for-each select="*[not(self::country)] | text()[normalize-space() != '']">
          <xsl:value-of select="normalize-space(.)"/>
          <xsl:if test="position() != last()"><xsl:text>, </xsl:text></xsl:if>
        </xsl:for-each>
        <xsl:if test="country"><xsl:value-of select="concat(substring(', ', 1, 2 * boolean(*[not(self::country)] | text()[normalize-space() != ''])), normalize-space(country))"/></xsl:if>
      </xsl:for-each>
      <xsl:for-each select="$a/registered-number">
        <xsl:value-of select="substring('; ', 1, 2 * boolean($a/address))"/>
        <xsl:call-template name="ti-label"><xsl:with-param name="k" select="'registered'"/></xsl:call-template>
        <xsl:value-of select="concat(' ', normalize-space(.))"/>
      </xsl:for-each>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- ===== Description sections of the international and Japanese texts ===== -->

<xsl:template match="technical-field | background-art | citation-list | patent-literature |
                     non-patent-literature | disclosure | summary-of-invention | tech-problem |
                     tech-solution | advantageous-effects | description-of-embodiments | best-mode |
                     mode-for-invention | industrial-applicability | reference-signs-list |
                     sequence-list-text | jp-official-gazette/description/description-of-drawings |
                     wo-patent-document/description/description-of-drawings" priority="2">
  <section class="{local-name()}">
    <!-- Subsections (the problem within the summary) one level down. -->
    <xsl:element name="h{3 + number(count(ancestor::*) &gt; 2)}">
      <xsl:call-template name="ti-bracketed">
        <xsl:with-param name="s"><xsl:call-template name="ti-label"><xsl:with-param name="k" select="local-name()"/></xsl:call-template></xsl:with-param>
      </xsl:call-template>
    </xsl:element>
    <xsl:apply-templates/>
  </section>
</xsl:template>

<!-- Japanese texts name a figure by number (figref num="3") and, in the list of
     drawings, carry the figure's caption inside the reference. -->
<xsl:key name="ti-fig-by-num" match="drawings/figure" use="normalize-space(@num)"/>

<xsl:template match="figref[@num and not(@idref)]" priority="2">
  <xsl:variable name="target" select="key('ti-fig-by-num', normalize-space(@num))[1]"/>
  <xsl:variable name="label">
    <xsl:call-template name="ti-bracketed">
      <xsl:with-param name="s">
        <xsl:call-template name="ti-label"><xsl:with-param name="k" select="'figure'"/></xsl:call-template>
        <xsl:if test="$tv-lang != 'ja'"><xsl:text> </xsl:text></xsl:if>
        <xsl:value-of select="normalize-space(@num)"/>
      </xsl:with-param>
    </xsl:call-template>
  </xsl:variable>
  <span class="figref">
    <xsl:choose>
      <xsl:when test="$target">
        <a class="figref">
          <xsl:attribute name="href">#<xsl:for-each select="$target"><xsl:call-template name="tv-anchor"/></xsl:for-each></xsl:attribute>
          <xsl:value-of select="$label"/>
        </a>
      </xsl:when>
      <xsl:otherwise><xsl:value-of select="$label"/></xsl:otherwise>
    </xsl:choose>
    <xsl:if test="normalize-space() != ''"><xsl:text> </xsl:text></xsl:if>
    <xsl:apply-templates/>
  </span>
  <xsl:if test="ancestor::description-of-drawings and following-sibling::*"><br/></xsl:if>
</xsl:template>

</xsl:stylesheet>
