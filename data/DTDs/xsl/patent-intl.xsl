<?xml version="1.0" encoding="UTF-8"?>
<!--
  European, international (PCT) and Japanese publications on top of the shared patent
  page (included by patent-common.xsl, whose body templates - description, paragraphs,
  claims, tables, formulas, figures - these documents share).

  What is particular to them lives here:
    ep-patent-document   the SDOBI front page with its INID-coded groups (codes ending
                         in EP are the office's own), one claim set per language, search
                         report pages kept as images, the list of references cited
    wo-patent-document   front page, designated states, the structured search report
    jp-official-gazette  front page with parties inside applicant/agent articles,
                         numbered sections of the description, figure references by number
  and labels in German, French and Japanese for what these pages show; English is the
  fallback for any label or language we have no row for.

  Names here start with ti- so that they never collide with the core's.
-->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
                xmlns:exsl="http://exslt.org/common" xmlns:jp="http://www.jpo.go.jp"
                exclude-result-prefixes="exsl jp">

<!-- ===== Labels ===== -->

<!-- One row per label; a language without a cell reads the English one. -->
<xsl:variable name="ti-label-rows">
  <r k="pubnum" en="Publication number" de="Veröffentlichungsnummer" fr="Numéro de publication" ja="公開番号"/>
  <r k="kind" en="Kind of document" de="Dokumentart" fr="Type de document" ja="公報種別"/>
  <r k="pubdate" en="Publication date" de="Veröffentlichungstag" fr="Date de publication" ja="公開日"/>
  <r k="appnum" en="Application number" de="Anmeldenummer" fr="Numéro de dépôt" ja="出願番号"/>
  <r k="appdate" en="Date of filing" de="Anmeldetag" fr="Date de dépôt" ja="出願日"/>
  <r k="priority" en="Priority" de="Priorität" fr="Priorité" ja="優先権"/>
  <r k="title" en="Title" de="Bezeichnung der Erfindung" fr="Titre de l'invention" ja="発明の名称"/>
  <r k="applicants" en="Applicants" de="Anmelder" fr="Demandeurs" ja="出願人"/>
  <r k="inventors" en="Inventors" de="Erfinder" fr="Inventeurs" ja="発明者"/>
  <r k="proprietors" en="Proprietor" de="Patentinhaber" fr="Titulaire" ja="特許権者"/>
  <r k="agents" en="Representative" de="Vertreter" fr="Mandataire" ja="代理人"/>
  <r k="opponents" en="Opponents" de="Einsprechende" fr="Opposants" ja="異議申立人"/>
  <r k="ipc" en="International classification" de="Internationale Patentklassifikation" fr="Classification internationale" ja="国際特許分類"/>
  <r k="national" en="National classification" de="Nationale Klassifikation" fr="Classification nationale" ja="FI"/>
  <r k="cited" en="Documents cited" de="Entgegenhaltungen" fr="Documents cités" ja="引用文献"/>
  <r k="states" en="Designated contracting states" de="Benannte Vertragsstaaten" fr="États contractants désignés" ja="指定国"/>
  <r k="extension" en="Extension states" de="Erstreckungsstaaten" fr="États d'extension" ja="拡張国"/>
  <r k="lapse" en="Lapsed in" de="Erloschen in" fr="Déchéance" ja="失効"/>
  <r k="parent" en="Earlier application" de="Frühere Anmeldung" fr="Demande antérieure" ja="原出願"/>
  <r k="remarks" en="Remarks" de="Bemerkungen" fr="Remarques" ja="備考"/>
  <r k="lang-filing" en="Language of filing" de="Einreichungssprache" fr="Langue de dépôt" ja="出願言語"/>
  <r k="lang-procedure" en="Language of proceedings" de="Verfahrenssprache" fr="Langue de la procédure" ja="手続言語"/>
  <r k="lang-pub" en="Language of publication" de="Veröffentlichungssprache" fr="Langue de publication" ja="公開言語"/>
  <r k="exam-request" en="Request for examination" de="Prüfungsantrag" fr="Requête en examen" ja="審査請求"/>
  <r k="exam-report" en="First examination report" de="Erster Prüfungsbescheid" fr="Première notification" ja="最初の審査通知"/>
  <r k="bulletin" en="Bulletin" de="Patentblatt" fr="Bulletin" ja="公報"/>
  <r k="app-published" en="Date of publication of application" de="Veröffentlichungstag der Anmeldung" fr="Date de publication de la demande" ja="出願公開日"/>
  <r k="grant" en="Mention of the grant" de="Hinweis auf die Patenterteilung" fr="Mention de la délivrance" ja="登録公告"/>
  <r k="grant-intent" en="Intention to grant" de="Mitteilung der Erteilungsabsicht" fr="Intention de délivrer" ja="特許査定"/>
  <r k="opposition" en="Decision on opposition" de="Entscheidung über den Einspruch" fr="Décision sur l'opposition" ja="異議決定"/>
  <r k="corrected" en="Correction" de="Berichtigung" fr="Rectification" ja="訂正"/>
  <r k="srep-published" en="Deferred publication of the search report" de="Später veröffentlichter Recherchenbericht" fr="Publication différée du rapport de recherche" ja="調査報告の公開"/>
  <r k="abstract-figure" en="Figure for the abstract" de="Figur zur Zusammenfassung" fr="Figure de l'abrégé" ja="選択図"/>
  <r k="divisional" en="Divisional application" de="Teilanmeldung" fr="Demande divisionnaire" ja="分割出願"/>
  <r k="designation" en="Designated states" de="Bestimmungsstaaten" fr="États désignés" ja="指定国"/>
  <r k="national-states" en="National" de="National" fr="National" ja="国内"/>
  <r k="regional-states" en="Regional" de="Regional" fr="Régional" ja="広域"/>
  <r k="claims-count" en="Number of claims" de="Anzahl der Ansprüche" fr="Nombre de revendications" ja="請求項の数"/>
  <r k="filing-form" en="Filing form" de="Einreichungsform" fr="Forme de dépôt" ja="出願形態"/>
  <r k="pages" en="Total pages" de="Seitenzahl" fr="Nombre de pages" ja="全頁数"/>
  <r k="theme" en="Theme codes" de="Themencodes" fr="Codes de thème" ja="テーマコード"/>
  <r k="fterm" en="F-terms" de="F-Terme" fr="Termes F" ja="Ｆターム"/>
  <r k="yes" en="yes" de="ja" fr="oui" ja="有"/>
  <r k="no" en="no" de="nein" fr="non" ja="未請求"/>
  <r k="registered" en="No." de="Nr." fr="N°" ja="識別番号"/>
  <r k="abstract" en="Abstract" de="Zusammenfassung" fr="Abrégé" ja="要約"/>
  <r k="description" en="Description" de="Beschreibung" fr="Description" ja="明細書"/>
  <r k="claims" en="Claims" de="Patentansprüche" fr="Revendications" ja="特許請求の範囲"/>
  <r k="drawings" en="Drawings" de="Zeichnungen" fr="Dessins" ja="図面"/>
  <r k="figure" en="Figure" de="Figur" fr="Figure" ja="図"/>
  <r k="search-report" en="Search report" de="Recherchenbericht" fr="Rapport de recherche" ja="調査報告"/>
  <r k="srep-page" en="Page" de="Seite" fr="Page" ja="頁"/>
  <r k="srep-class" en="Classification of subject matter" de="Klassifizierung des Anmeldungsgegenstands" fr="Classement de l'objet de la demande" ja="発明の属する分野の分類"/>
  <r k="srep-fields" en="Fields searched" de="Recherchierte Sachgebiete" fr="Domaines sur lesquels la recherche a porté" ja="調査を行った分野"/>
  <r k="srep-min-doc" en="Minimum documentation" de="Mindestprüfstoff" fr="Documentation minimale" ja="最小限資料"/>
  <r k="srep-databases" en="Databases" de="Datenbanken" fr="Bases de données" ja="データベース"/>
  <r k="srep-citations" en="Documents considered to be relevant" de="Als wesentlich angesehene Unterlagen" fr="Documents considérés comme pertinents" ja="関連すると認められる文献"/>
  <r k="srep-category" en="Category" de="Kategorie" fr="Catégorie" ja="カテゴリー"/>
  <r k="srep-passages" en="Relevant passages" de="Maßgebliche Teile" fr="Passages pertinents" ja="関連箇所"/>
  <r k="srep-claims" en="Relevant to claims" de="Betrifft Anspruch" fr="Revendications visées" ja="関連する請求項"/>
  <r k="srep-examiner" en="Examiner" de="Prüfer" fr="Examinateur" ja="審査官"/>
  <r k="srep-office" en="Searching authority" de="Recherchenbehörde" fr="Administration chargée de la recherche" ja="国際調査機関"/>
  <r k="srep-completed" en="Date of completion of the search" de="Abschlussdatum der Recherche" fr="Date d'achèvement de la recherche" ja="調査を完了した日"/>
  <r k="srep-mailed" en="Date of mailing" de="Absendedatum" fr="Date d'expédition" ja="発送日"/>
  <r k="srep-family" en="Patent family members" de="Mitglieder der Patentfamilie" fr="Membres de la famille de brevets" ja="パテントファミリー"/>
  <r k="technical-field" en="Technical field" de="Technisches Gebiet" fr="Domaine technique" ja="技術分野"/>
  <r k="background-art" en="Background art" de="Stand der Technik" fr="État de la technique" ja="背景技術"/>
  <r k="citation-list" en="Citation list" de="Zitierte Dokumente" fr="Liste des citations" ja="先行技術文献"/>
  <r k="patent-literature" en="Patent literature" de="Patentliteratur" fr="Littérature brevets" ja="特許文献"/>
  <r k="non-patent-literature" en="Non-patent literature" de="Nichtpatentliteratur" fr="Littérature non-brevets" ja="非特許文献"/>
  <r k="disclosure" en="Disclosure of invention" de="Offenbarung der Erfindung" fr="Exposé de l'invention" ja="発明の開示"/>
  <r k="summary-of-invention" en="Summary of invention" de="Zusammenfassung der Erfindung" fr="Résumé de l'invention" ja="発明の概要"/>
  <r k="tech-problem" en="Technical problem" de="Technische Aufgabe" fr="Problème technique" ja="発明が解決しようとする課題"/>
  <r k="tech-solution" en="Solution to problem" de="Lösung der Aufgabe" fr="Solution au problème" ja="課題を解決するための手段"/>
  <r k="advantageous-effects" en="Advantageous effects of invention" de="Vorteilhafte Wirkungen der Erfindung" fr="Effets avantageux de l'invention" ja="発明の効果"/>
  <r k="description-of-drawings" en="Brief description of drawings" de="Kurze Beschreibung der Zeichnungen" fr="Brève description des dessins" ja="図面の簡単な説明"/>
  <r k="description-of-embodiments" en="Description of embodiments" de="Beschreibung der Ausführungsformen" fr="Description des modes de réalisation" ja="発明を実施するための形態"/>
  <r k="best-mode" en="Best mode for carrying out the invention" de="Beste Ausführungsform der Erfindung" fr="Meilleure manière de réaliser l'invention" ja="発明を実施するための最良の形態"/>
  <r k="mode-for-invention" en="Mode for the invention" de="Ausführungsform der Erfindung" fr="Mode de réalisation de l'invention" ja="発明の実施の形態"/>
  <r k="industrial-applicability" en="Industrial applicability" de="Gewerbliche Anwendbarkeit" fr="Application industrielle" ja="産業上の利用可能性"/>
  <r k="reference-signs-list" en="Reference signs list" de="Bezugszeichenliste" fr="Liste des signes de référence" ja="符号の説明"/>
  <r k="sequence-list-text" en="Sequence listing free text" de="Freier Text des Sequenzprotokolls" fr="Texte libre de la liste de séquences" ja="配列表フリーテキスト"/>
  <r k="en" en="English" de="Englisch" fr="anglais" ja="英語"/>
  <r k="de" en="German" de="Deutsch" fr="allemand" ja="ドイツ語"/>
  <r k="fr" en="French" de="Französisch" fr="français" ja="フランス語"/>
  <r k="ja" en="Japanese" de="Japanisch" fr="japonais" ja="日本語"/>
</xsl:variable>
<xsl:variable name="ti-labels" select="exsl:node-set($ti-label-rows)/r"/>

<!-- The document's language, as its two-letter code in small letters. -->
<xsl:variable name="ti-lang">
  <xsl:call-template name="ti-lang-of"><xsl:with-param name="s" select="/*/@lang"/></xsl:call-template>
</xsl:variable>

<xsl:template name="ti-lang-of">
  <xsl:param name="s"/>
  <xsl:value-of select="substring(translate(normalize-space($s), 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz'), 1, 2)"/>
</xsl:template>

<xsl:template name="ti-label">
  <xsl:param name="k"/>
  <xsl:param name="lang" select="$ti-lang"/>
  <xsl:variable name="row" select="$ti-labels[@k = $k]"/>
  <xsl:choose>
    <xsl:when test="$row/@*[local-name() = $lang]"><xsl:value-of select="$row/@*[local-name() = $lang]"/></xsl:when>
    <xsl:when test="$row"><xsl:value-of select="$row/@en"/></xsl:when>
    <xsl:otherwise><xsl:value-of select="$k"/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- ===== Shared pieces ===== -->

<!-- A front-page line: the label (with its INID code when given) and what follows in the
     row's cell. -->
<xsl:template name="ti-row">
  <xsl:param name="k"/>
  <xsl:param name="inid" select="''"/>
  <xsl:param name="body"/>
  <tr>
    <th>
      <xsl:if test="$inid != ''"><span class="inid">(<xsl:value-of select="$inid"/>)</span><xsl:text> </xsl:text></xsl:if>
      <xsl:call-template name="ti-label"><xsl:with-param name="k" select="$k"/></xsl:call-template>
    </th>
    <td><xsl:copy-of select="$body"/></td>
  </tr>
</xsl:template>

<!-- 20260101 reads 2026-01-01, or 01.01.2026 on German and French pages as the
     bulletins print it. -->
<xsl:template name="ti-date">
  <xsl:param name="d" select="normalize-space(date)"/>
  <xsl:choose>
    <xsl:when test="string-length($d) = 8 and translate($d, '0123456789', '') = '' and ($ti-lang = 'de' or $ti-lang = 'fr')">
      <xsl:value-of select="concat(substring($d, 7, 2), '.', substring($d, 5, 2), '.', substring($d, 1, 4))"/>
    </xsl:when>
    <xsl:when test="string-length($d) = 8 and translate($d, '0123456789', '') = ''">
      <xsl:value-of select="concat(substring($d, 1, 4), '-', substring($d, 5, 2), '-', substring($d, 7, 2))"/>
    </xsl:when>
    <xsl:otherwise><xsl:value-of select="$d"/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- The words of an element, those of separate children kept apart. -->
<xsl:template name="ti-words">
  <xsl:param name="of" select="."/>
  <xsl:variable name="w"><xsl:for-each select="$of//text()"><xsl:value-of select="concat(., ' ')"/></xsl:for-each></xsl:variable>
  <xsl:value-of select="normalize-space($w)"/>
</xsl:template>

<!-- A section heading from the label table, in the language of the section. -->
<xsl:template name="ti-section-head">
  <xsl:param name="k"/>
  <xsl:param name="lang" select="$ti-lang"/>
  <h2><xsl:call-template name="ti-label">
    <xsl:with-param name="k" select="$k"/><xsl:with-param name="lang" select="$lang"/>
  </xsl:call-template></h2>
</xsl:template>

<!-- ===== European publications ===== -->

<xsl:template match="ep-patent-document" mode="tv-root" priority="2">
  <article class="patent ep" lang="{$ti-lang}">
    <xsl:apply-templates select="SDOBI" mode="ti-ep"/>
    <xsl:if test="$tv-toc = 1"><xsl:call-template name="tv-toc"/></xsl:if>
    <xsl:apply-templates select="*[not(self::SDOBI)]" mode="tv-section"/>
  </article>
</xsl:template>

<!-- The title in the document's language, else the first one given. -->
<xsl:template name="ti-ep-title">
  <xsl:variable name="own" select="B500/B540/B542[preceding-sibling::B541[1] = $ti-lang]"/>
  <xsl:choose>
    <xsl:when test="$own"><xsl:value-of select="normalize-space($own[1])"/></xsl:when>
    <xsl:otherwise><xsl:value-of select="normalize-space(B500/B540/B542[1])"/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<xsl:template match="SDOBI" mode="ti-ep">
  <header class="biblio">
    <div class="doc-type">
      <xsl:for-each select="B100/B120/*"><div><xsl:value-of select="normalize-space(.)"/></div></xsl:for-each>
    </div>
    <h1><xsl:call-template name="ti-ep-title"/></h1>
    <table class="biblio">
      <xsl:apply-templates select="B100 | B200 | B300 | B400 | B500 | B600 | B700 | B800 | B000/eptags/B050EP" mode="ti-ep"/>
    </table>
  </header>
</xsl:template>

<xsl:template match="B100" mode="ti-ep">
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k" select="'pubnum'"/><xsl:with-param name="inid" select="'11'"/>
    <xsl:with-param name="body" select="normalize-space(concat(B190, ' ', B110, ' ', B130))"/>
  </xsl:call-template>
  <xsl:if test="B140">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'pubdate'"/>
      <xsl:with-param name="body"><xsl:for-each select="B140"><xsl:call-template name="ti-date"/></xsl:for-each></xsl:with-param>
    </xsl:call-template>
  </xsl:if>
</xsl:template>

<xsl:template match="B200" mode="ti-ep">
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k" select="'appnum'"/><xsl:with-param name="inid" select="'21'"/>
    <xsl:with-param name="body" select="normalize-space(B210)"/>
  </xsl:call-template>
  <xsl:for-each select="B220">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'appdate'"/><xsl:with-param name="inid" select="'22'"/>
      <xsl:with-param name="body"><xsl:call-template name="ti-date"/></xsl:with-param>
    </xsl:call-template>
  </xsl:for-each>
  <xsl:for-each select="B240/B241 | B240/B242">
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
  <xsl:for-each select="B250 | B251EP | B260">
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
  </xsl:for-each>
</xsl:template>

<!-- "de" reads "German" (in the page's language); an unknown code is shown as it is. -->
<xsl:template name="ti-language-name">
  <xsl:variable name="code"><xsl:call-template name="ti-lang-of"><xsl:with-param name="s" select="."/></xsl:call-template></xsl:variable>
  <xsl:choose>
    <xsl:when test="$ti-labels[@k = $code]">
      <xsl:call-template name="ti-label"><xsl:with-param name="k" select="$code"/></xsl:call-template>
      <xsl:value-of select="concat(' (', normalize-space(.), ')')"/>
    </xsl:when>
    <xsl:otherwise><xsl:value-of select="normalize-space(.)"/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- Priorities: number, date and country come as runs of siblings, one claim each. -->
<xsl:template match="B300" mode="ti-ep">
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k" select="'priority'"/><xsl:with-param name="inid" select="'30'"/>
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
<xsl:template match="B400" mode="ti-ep">
  <xsl:for-each select="*[not(self::B472)]">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k">
        <xsl:choose>
          <xsl:when test="self::B405">bulletin</xsl:when>
          <xsl:when test="self::B430">app-published</xsl:when>
          <xsl:when test="self::B450">grant</xsl:when>
          <xsl:when test="self::B452EP">grant-intent</xsl:when>
          <xsl:when test="self::B477">opposition</xsl:when>
          <xsl:when test="self::B480">corrected</xsl:when>
          <xsl:otherwise>pubdate</xsl:otherwise>
        </xsl:choose>
      </xsl:with-param>
      <xsl:with-param name="inid">
        <xsl:choose>
          <xsl:when test="self::B430">43</xsl:when>
          <xsl:when test="self::B405 or self::B450 or self::B477">45</xsl:when>
          <xsl:when test="self::B480">48</xsl:when>
        </xsl:choose>
      </xsl:with-param>
      <xsl:with-param name="body"><xsl:call-template name="ti-dated"/></xsl:with-param>
    </xsl:call-template>
  </xsl:for-each>
  <xsl:for-each select="B472">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'lapse'"/>
      <xsl:with-param name="body">
        <xsl:for-each select=".//ctry">
          <span class="lapse">
            <xsl:value-of select="normalize-space(.)"/>
            <xsl:for-each select="preceding-sibling::*[1][self::date]">
              <xsl:text>: </xsl:text><xsl:call-template name="ti-date"><xsl:with-param name="d" select="normalize-space(.)"/></xsl:call-template>
            </xsl:for-each>
          </span>
          <xsl:if test="position() != last()"><xsl:text>; </xsl:text></xsl:if>
        </xsl:for-each>
      </xsl:with-param>
    </xsl:call-template>
  </xsl:for-each>
</xsl:template>

<!-- A date with its bulletin number (2009/43 for 200943). -->
<xsl:template name="ti-dated">
  <xsl:call-template name="ti-date"/>
  <xsl:for-each select="bnum">
    <xsl:variable name="b" select="normalize-space(.)"/>
    <xsl:text> </xsl:text>
    <span class="bulletin">
      <xsl:call-template name="ti-label"><xsl:with-param name="k" select="'bulletin'"/></xsl:call-template>
      <xsl:choose>
        <xsl:when test="string-length($b) = 6"><xsl:value-of select="concat(' ', substring($b, 1, 4), '/', substring($b, 5, 2))"/></xsl:when>
        <xsl:otherwise><xsl:value-of select="concat(' ', $b)"/></xsl:otherwise>
      </xsl:choose>
    </span>
  </xsl:for-each>
</xsl:template>

<xsl:template match="B500" mode="ti-ep">
  <xsl:for-each select="B510EP | B510">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'ipc'"/><xsl:with-param name="inid" select="'51'"/>
      <xsl:with-param name="body">
        <xsl:for-each select="classification-ipcr | classification-ipc/* | *[not(self::classification-ipcr or self::classification-ipc)]">
          <div class="ipc"><xsl:value-of select="normalize-space(.)"/></div>
        </xsl:for-each>
      </xsl:with-param>
    </xsl:call-template>
  </xsl:for-each>
  <xsl:for-each select="B540">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'title'"/><xsl:with-param name="inid" select="'54'"/>
      <xsl:with-param name="body">
        <xsl:for-each select="B542">
          <div class="title" lang="{normalize-space(preceding-sibling::B541[1])}"><xsl:value-of select="normalize-space(.)"/></div>
        </xsl:for-each>
      </xsl:with-param>
    </xsl:call-template>
  </xsl:for-each>
  <xsl:for-each select="B560">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'cited'"/><xsl:with-param name="inid" select="'56'"/>
      <xsl:with-param name="body">
        <ul class="cited">
          <xsl:for-each select="*"><li><xsl:call-template name="ti-words"/></li></xsl:for-each>
        </ul>
      </xsl:with-param>
    </xsl:call-template>
  </xsl:for-each>
  <xsl:for-each select="B590">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'abstract-figure'"/><xsl:with-param name="inid" select="'57'"/>
      <xsl:with-param name="body"><xsl:call-template name="ti-words"/></xsl:with-param>
    </xsl:call-template>
  </xsl:for-each>
</xsl:template>

<!-- Related applications: the earlier application of a divisional. -->
<xsl:template match="B600" mode="ti-ep">
  <xsl:for-each select="*">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'parent'"/><xsl:with-param name="inid" select="'62'"/>
      <xsl:with-param name="body">
        <xsl:for-each select=".//cdoc | .//pdoc">
          <div>
            <xsl:value-of select="normalize-space(.//anum)"/>
            <xsl:if test=".//pnum"><xsl:value-of select="concat(' / EP ', normalize-space(.//pnum))"/></xsl:if>
            <xsl:for-each select="date"><xsl:text>, </xsl:text><xsl:call-template name="ti-date"/></xsl:for-each>
          </div>
        </xsl:for-each>
      </xsl:with-param>
    </xsl:call-template>
  </xsl:for-each>
</xsl:template>

<xsl:template match="B700" mode="ti-ep">
  <xsl:for-each select="*">
    <xsl:variable name="k">
      <xsl:choose>
        <xsl:when test="self::B710">applicants</xsl:when>
        <xsl:when test="self::B720">inventors</xsl:when>
        <xsl:when test="self::B730">proprietors</xsl:when>
        <xsl:when test="self::B740">agents</xsl:when>
        <xsl:otherwise>opponents</xsl:otherwise>
      </xsl:choose>
    </xsl:variable>
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="$k"/>
      <xsl:with-param name="inid" select="substring(local-name(), 2, 2)"/>
      <xsl:with-param name="body"><xsl:apply-templates select="*" mode="ti-ep-party"/></xsl:with-param>
    </xsl:call-template>
  </xsl:for-each>
</xsl:template>

<!-- A party: name, then its address and country; an opponent's representative on a
     line of its own below it. -->
<xsl:template match="*" mode="ti-ep-party">
  <div class="party">
    <span class="name"><xsl:value-of select="normalize-space(snm)"/></span>
    <xsl:if test="sfx"><xsl:value-of select="concat(' ', normalize-space(sfx))"/></xsl:if>
    <xsl:for-each select="adr">
      <span class="where">
        <xsl:text>, </xsl:text>
        <xsl:for-each select="*[not(self::ctry)]">
          <xsl:value-of select="normalize-space(.)"/>
          <xsl:if test="position() != last()"><xsl:text>, </xsl:text></xsl:if>
        </xsl:for-each>
        <xsl:if test="ctry"><xsl:value-of select="concat(' (', normalize-space(ctry), ')')"/></xsl:if>
      </span>
    </xsl:for-each>
    <xsl:if test="iid | irf">
      <span class="ids"><xsl:value-of select="concat(' [', normalize-space(iid), substring(' / ', 1, 3 * boolean(iid and irf)), normalize-space(irf), ']')"/></span>
    </xsl:if>
    <xsl:for-each select="date">
      <xsl:text> </xsl:text><span class="date"><xsl:call-template name="ti-date"><xsl:with-param name="d" select="normalize-space(.)"/></xsl:call-template></span>
    </xsl:for-each>
    <xsl:if test="B784">
      <div class="representative"><xsl:apply-templates select="B784" mode="ti-ep-party"/></div>
    </xsl:if>
  </div>
</xsl:template>

<xsl:template match="B800" mode="ti-ep">
  <xsl:for-each select="B840">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'states'"/><xsl:with-param name="inid" select="'84'"/>
      <xsl:with-param name="body"><xsl:call-template name="ti-country-list"/></xsl:with-param>
    </xsl:call-template>
  </xsl:for-each>
  <xsl:for-each select="B844EP">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'extension'"/>
      <xsl:with-param name="body"><xsl:call-template name="ti-country-list"/></xsl:with-param>
    </xsl:call-template>
  </xsl:for-each>
  <xsl:for-each select="B880">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'srep-published'"/><xsl:with-param name="inid" select="'88'"/>
      <xsl:with-param name="body"><xsl:call-template name="ti-dated"/></xsl:with-param>
    </xsl:call-template>
  </xsl:for-each>
</xsl:template>

<xsl:template name="ti-country-list">
  <xsl:for-each select=".//ctry | .//country">
    <xsl:value-of select="normalize-space(.)"/>
    <xsl:if test="position() != last()"><xsl:text> </xsl:text></xsl:if>
  </xsl:for-each>
</xsl:template>

<!-- Remarks in each language, such as the note on a divisional application. -->
<xsl:template match="B050EP" mode="ti-ep">
  <xsl:call-template name="ti-row">
    <xsl:with-param name="k" select="'remarks'"/>
    <xsl:with-param name="body">
      <xsl:for-each select="B052EP">
        <div lang="{normalize-space(preceding-sibling::B051EP[1])}"><xsl:value-of select="normalize-space(.)"/></div>
      </xsl:for-each>
    </xsl:with-param>
  </xsl:call-template>
</xsl:template>

<!-- Claim sets: one per language, headed in its own language and anchored by its own id
     (the first set also answers to #claims, the table of contents' target). -->
<xsl:template match="ep-patent-document/claims | wo-patent-document/claims | jp-official-gazette/claims"
              mode="tv-section" priority="2">
  <xsl:variable name="lang">
    <xsl:call-template name="ti-lang-of"><xsl:with-param name="s" select="(@lang | /*/@lang)[1]"/></xsl:call-template>
  </xsl:variable>
  <xsl:variable name="id">
    <xsl:call-template name="ti-claims-anchor"/>
  </xsl:variable>
  <section class="claims" id="{$id}" lang="{$lang}">
    <xsl:if test="not(preceding-sibling::claims) and $id != 'claims' and not(//*[@id = 'claims'])">
      <span id="claims"></span>
    </xsl:if>
    <xsl:call-template name="ti-section-head">
      <xsl:with-param name="k" select="'claims'"/><xsl:with-param name="lang" select="$lang"/>
    </xsl:call-template>
    <xsl:apply-templates/>
  </section>
</xsl:template>

<!-- A claim set's anchor: its own id if no other element of the document has it. -->
<xsl:template name="ti-claims-anchor">
  <xsl:choose>
    <xsl:when test="@id and count(//*[@id = current()/@id]) = 1"><xsl:value-of select="@id"/></xsl:when>
    <xsl:otherwise>
      <xsl:value-of select="concat('claims-', count(preceding-sibling::claims) + 1)"/>
      <xsl:if test="@lang"><xsl:value-of select="concat('-', @lang)"/></xsl:if>
    </xsl:otherwise>
  </xsl:choose>
</xsl:template>

<xsl:template match="ep-patent-document/abstract | wo-patent-document/abstract | jp-official-gazette/abstract"
              mode="tv-section" priority="2">
  <xsl:variable name="lang">
    <xsl:call-template name="ti-lang-of"><xsl:with-param name="s" select="(@lang | /*/@lang)[1]"/></xsl:call-template>
  </xsl:variable>
  <section class="abstract" lang="{$lang}">
    <xsl:if test="not(preceding-sibling::abstract)"><xsl:attribute name="id">abstract</xsl:attribute></xsl:if>
    <xsl:call-template name="ti-section-head">
      <xsl:with-param name="k" select="'abstract'"/><xsl:with-param name="lang" select="$lang"/>
    </xsl:call-template>
    <xsl:apply-templates/>
  </section>
</xsl:template>

<xsl:template match="ep-patent-document/description | wo-patent-document/description | jp-official-gazette/description"
              mode="tv-section" priority="2">
  <section class="description" id="description">
    <xsl:call-template name="ti-section-head"><xsl:with-param name="k" select="'description'"/></xsl:call-template>
    <xsl:apply-templates/>
  </section>
</xsl:template>

<xsl:template match="ep-patent-document/drawings | wo-patent-document/drawings | jp-official-gazette/drawings"
              mode="tv-section" priority="2">
  <section class="drawings" id="drawings">
    <xsl:call-template name="ti-section-head"><xsl:with-param name="k" select="'drawings'"/></xsl:call-template>
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

<!-- The description's title repeated at its top (international publications). -->
<xsl:template match="description/invention-title" priority="2">
  <p class="invention-title"><b><xsl:apply-templates/></b></p>
</xsl:template>

<!-- ===== Search reports ===== -->

<xsl:template match="search-report-data" mode="tv-section" priority="2">
  <section class="search-report" id="search-report">
    <xsl:call-template name="ti-section-head"><xsl:with-param name="k" select="'search-report'"/></xsl:call-template>
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
    <xsl:call-template name="tv-image"/>
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
          <xsl:for-each select="minimum-documentation">
            <div>
              <xsl:call-template name="ti-label"><xsl:with-param name="k" select="'srep-min-doc'"/></xsl:call-template>
              <xsl:text>: </xsl:text>
              <xsl:for-each select="*"><xsl:call-template name="ti-classification"/></xsl:for-each>
            </div>
          </xsl:for-each>
          <xsl:for-each select="database-searched">
            <div>
              <xsl:call-template name="ti-label"><xsl:with-param name="k" select="'srep-databases'"/></xsl:call-template>
              <xsl:text>: </xsl:text><xsl:call-template name="ti-words"/>
            </div>
          </xsl:for-each>
          <xsl:for-each select="*[not(self::minimum-documentation or self::database-searched)]">
            <div><xsl:call-template name="ti-words"/></div>
          </xsl:for-each>
        </xsl:with-param>
      </xsl:call-template>
    </xsl:for-each>
    <xsl:for-each select="srep-admin">
      <xsl:for-each select="examiners/*">
        <xsl:call-template name="ti-row">
          <xsl:with-param name="k" select="'srep-examiner'"/>
          <xsl:with-param name="body"><xsl:call-template name="ti-words"/></xsl:with-param>
        </xsl:call-template>
      </xsl:for-each>
      <xsl:for-each select="srep-office">
        <xsl:call-template name="ti-row">
          <xsl:with-param name="k" select="'srep-office'"/>
          <xsl:with-param name="body"><xsl:call-template name="ti-words"/></xsl:with-param>
        </xsl:call-template>
      </xsl:for-each>
      <xsl:for-each select="completion-date | date-of-mailing">
        <xsl:call-template name="ti-row">
          <xsl:with-param name="k">
            <xsl:choose>
              <xsl:when test="self::completion-date">srep-completed</xsl:when>
              <xsl:otherwise>srep-mailed</xsl:otherwise>
            </xsl:choose>
          </xsl:with-param>
          <xsl:with-param name="body"><xsl:call-template name="ti-date"/></xsl:with-param>
        </xsl:call-template>
      </xsl:for-each>
      <xsl:for-each select="*[not(self::examiners or self::srep-office or self::completion-date or self::date-of-mailing)]">
        <tr><th></th><td><xsl:call-template name="ti-words"/></td></tr>
      </xsl:for-each>
    </xsl:for-each>
  </table>
  <xsl:for-each select="srep-citations">
    <h3><xsl:call-template name="ti-label"><xsl:with-param name="k" select="'srep-citations'"/></xsl:call-template></h3>
    <table class="srep-citations">
      <tr>
        <th><xsl:call-template name="ti-label"><xsl:with-param name="k" select="'srep-category'"/></xsl:call-template></th>
        <th><xsl:call-template name="ti-label"><xsl:with-param name="k" select="'cited'"/></xsl:call-template></th>
        <th><xsl:call-template name="ti-label"><xsl:with-param name="k" select="'srep-claims'"/></xsl:call-template></th>
      </tr>
      <xsl:for-each select="citation">
        <tr>
          <td class="category"><xsl:value-of select="normalize-space(.//category)"/></td>
          <td>
            <xsl:for-each select="*/document-id | nplcit | */text">
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

<!-- A cited document: country, number, kind, name and date on one line. -->
<xsl:template name="ti-docid">
  <xsl:value-of select="normalize-space(concat(country, ' ', doc-number, ' ', kind))"/>
  <xsl:if test="name"><xsl:value-of select="concat(' (', normalize-space(name), ')')"/></xsl:if>
  <xsl:for-each select="date"><xsl:text>, </xsl:text><xsl:call-template name="ti-date"><xsl:with-param name="d" select="normalize-space(.)"/></xsl:call-template></xsl:for-each>
  <xsl:if test="not(country | doc-number)"><xsl:call-template name="ti-words"/></xsl:if>
</xsl:template>

<!-- An IPC entry: its symbols, with the edition when given. -->
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

<xsl:template match="wo-patent-document | jp-official-gazette" mode="tv-root" priority="2">
  <article class="patent {substring-before(local-name(), '-')}" lang="{$ti-lang}">
    <xsl:apply-templates select="bibliographic-data" mode="ti-front"/>
    <xsl:if test="$tv-toc = 1"><xsl:call-template name="tv-toc"/></xsl:if>
    <xsl:apply-templates select="*[not(self::bibliographic-data or self::jp:image-of-bibliographic-data or
                                     self::jp:image-of-chosen-drawing or self::jp:abstract-correction)]"
                         mode="tv-section"/>
  </article>
</xsl:template>

<xsl:template match="bibliographic-data" mode="ti-front">
  <header class="biblio">
    <xsl:for-each select="plain-language-designation"><div class="doc-type"><xsl:value-of select="normalize-space(.)"/></div></xsl:for-each>
    <h1><xsl:value-of select="normalize-space(invention-title[1])"/></h1>
    <table class="biblio">
      <xsl:for-each select="publication-reference/document-id">
        <xsl:call-template name="ti-row">
          <xsl:with-param name="k" select="'pubnum'"/><xsl:with-param name="inid" select="'11'"/>
          <xsl:with-param name="body">
            <xsl:value-of select="normalize-space(concat(country, ' ', doc-number))"/>
            <!-- The Japanese kind is a phrase ("公開特許公報(A)"), shown on a row of its own. -->
            <xsl:if test="string-length(normalize-space(kind)) &lt;= 2"><xsl:value-of select="concat(' ', normalize-space(kind))"/></xsl:if>
          </xsl:with-param>
        </xsl:call-template>
        <xsl:if test="string-length(normalize-space(kind)) &gt; 2">
          <xsl:call-template name="ti-row">
            <xsl:with-param name="k" select="'kind'"/><xsl:with-param name="inid" select="'12'"/>
            <xsl:with-param name="body" select="normalize-space(kind)"/>
          </xsl:call-template>
        </xsl:if>
        <xsl:for-each select="date">
          <xsl:call-template name="ti-row">
            <xsl:with-param name="k" select="'pubdate'"/><xsl:with-param name="inid" select="'43'"/>
            <xsl:with-param name="body"><xsl:call-template name="ti-date"><xsl:with-param name="d" select="normalize-space(.)"/></xsl:call-template></xsl:with-param>
          </xsl:call-template>
        </xsl:for-each>
      </xsl:for-each>
      <xsl:for-each select="application-reference/document-id">
        <xsl:call-template name="ti-row">
          <xsl:with-param name="k" select="'appnum'"/><xsl:with-param name="inid" select="'21'"/>
          <xsl:with-param name="body">
            <xsl:value-of select="normalize-space(concat(country, ' ', doc-number))"/>
            <xsl:if test="../@appl-type = 'PCT'"> (PCT)</xsl:if>
          </xsl:with-param>
        </xsl:call-template>
        <xsl:for-each select="date">
          <xsl:call-template name="ti-row">
            <xsl:with-param name="k" select="'appdate'"/><xsl:with-param name="inid" select="'22'"/>
            <xsl:with-param name="body"><xsl:call-template name="ti-date"><xsl:with-param name="d" select="normalize-space(.)"/></xsl:call-template></xsl:with-param>
          </xsl:call-template>
        </xsl:for-each>
      </xsl:for-each>
      <xsl:for-each select="language-of-filing | language-of-publication">
        <xsl:call-template name="ti-row">
          <xsl:with-param name="k">
            <xsl:choose>
              <xsl:when test="self::language-of-filing">lang-filing</xsl:when>
              <xsl:otherwise>lang-pub</xsl:otherwise>
            </xsl:choose>
          </xsl:with-param>
          <xsl:with-param name="inid" select="25 + number(boolean(self::language-of-publication))"/>
          <xsl:with-param name="body"><xsl:call-template name="ti-language-name"/></xsl:with-param>
        </xsl:call-template>
      </xsl:for-each>
      <xsl:for-each select="priority-claims[priority-claim]">
        <xsl:call-template name="ti-row">
          <xsl:with-param name="k" select="'priority'"/><xsl:with-param name="inid" select="'30'"/>
          <xsl:with-param name="body">
            <xsl:for-each select="priority-claim">
              <div class="priority">
                <xsl:value-of select="normalize-space(doc-number)"/>
                <xsl:for-each select="date"><xsl:text>, </xsl:text><xsl:call-template name="ti-date"><xsl:with-param name="d" select="normalize-space(.)"/></xsl:call-template></xsl:for-each>
                <xsl:if test="country"><xsl:value-of select="concat(', ', normalize-space(country))"/></xsl:if>
              </div>
            </xsl:for-each>
          </xsl:with-param>
        </xsl:call-template>
      </xsl:for-each>
      <xsl:for-each select="classification-ipc | classifications-ipcr">
        <xsl:call-template name="ti-row">
          <xsl:with-param name="k" select="'ipc'"/><xsl:with-param name="inid" select="'51'"/>
          <xsl:with-param name="body"><xsl:call-template name="ti-classification"/></xsl:with-param>
        </xsl:call-template>
      </xsl:for-each>
      <xsl:for-each select="classification-national">
        <xsl:call-template name="ti-row">
          <xsl:with-param name="k" select="'national'"/><xsl:with-param name="inid" select="'52'"/>
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
          <xsl:with-param name="body">
            <xsl:for-each select="*">
              <xsl:value-of select="normalize-space(.)"/>
              <xsl:if test="position() != last()"><xsl:text> </xsl:text></xsl:if>
            </xsl:for-each>
          </xsl:with-param>
        </xsl:call-template>
      </xsl:for-each>
      <xsl:apply-templates select="parties" mode="ti-front"/>
      <xsl:for-each select="designation-of-states">
        <xsl:call-template name="ti-row">
          <xsl:with-param name="k" select="'designation'"/><xsl:with-param name="inid" select="'81'"/>
          <xsl:with-param name="body">
            <xsl:for-each select=".//national">
              <div>
                <xsl:call-template name="ti-label"><xsl:with-param name="k" select="'national-states'"/></xsl:call-template>
                <xsl:text>: </xsl:text><xsl:call-template name="ti-country-list"/>
              </div>
            </xsl:for-each>
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
              <xsl:when test="self::number-of-claims">claims-count</xsl:when>
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
      <xsl:for-each select="figure-to-publish">
        <xsl:call-template name="ti-row">
          <xsl:with-param name="k" select="'abstract-figure'"/><xsl:with-param name="inid" select="'57'"/>
          <xsl:with-param name="body">
            <xsl:call-template name="ti-words"/>
            <xsl:for-each select="../../jp:image-of-chosen-drawing//img">
              <div class="figure"><xsl:call-template name="tv-image"/></div>
            </xsl:for-each>
          </xsl:with-param>
        </xsl:call-template>
      </xsl:for-each>
    </table>
    <!-- The front page as the office printed it. -->
    <xsl:for-each select="../jp:image-of-bibliographic-data//img">
      <div class="figure front-page"><xsl:call-template name="tv-image"/></div>
    </xsl:for-each>
    <xsl:if test="not(figure-to-publish)">
      <xsl:for-each select="../jp:image-of-chosen-drawing//img">
        <div class="figure"><xsl:call-template name="tv-image"/></div>
      </xsl:for-each>
    </xsl:if>
  </header>
</xsl:template>

<!-- Parties by role, whether listed directly or grouped in applicant/agent articles. -->
<xsl:template match="parties" mode="ti-front">
  <xsl:variable name="applicants" select=".//applicant"/>
  <xsl:variable name="inventors" select=".//inventor"/>
  <xsl:variable name="agents" select=".//agent"/>
  <xsl:if test="$applicants">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'applicants'"/><xsl:with-param name="inid" select="'71'"/>
      <xsl:with-param name="body"><xsl:apply-templates select="$applicants" mode="ti-party"/></xsl:with-param>
    </xsl:call-template>
  </xsl:if>
  <xsl:if test="$inventors">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'inventors'"/><xsl:with-param name="inid" select="'72'"/>
      <xsl:with-param name="body"><xsl:apply-templates select="$inventors" mode="ti-party"/></xsl:with-param>
    </xsl:call-template>
  </xsl:if>
  <xsl:if test="$agents">
    <xsl:call-template name="ti-row">
      <xsl:with-param name="k" select="'agents'"/><xsl:with-param name="inid" select="'74'"/>
      <xsl:with-param name="body"><xsl:apply-templates select="$agents" mode="ti-party"/></xsl:with-param>
    </xsl:call-template>
  </xsl:if>
</xsl:template>

<!-- One party per line: name (organisation, or the person's names in reading order),
     then the address's parts and its country. -->
<xsl:template match="*" mode="ti-party">
  <xsl:variable name="a" select="addressbook[1]"/>
  <div class="party">
    <span class="name">
      <xsl:choose>
        <xsl:when test="$a/name"><xsl:value-of select="normalize-space($a/name)"/></xsl:when>
        <xsl:when test="$a/last-name | $a/first-name">
          <xsl:value-of select="normalize-space(concat($a/prefix, ' ', $a/first-name, ' ', $a/middle-name, ' ', $a/last-name))"/>
          <xsl:if test="$a/suffix"><xsl:value-of select="concat(', ', normalize-space($a/suffix))"/></xsl:if>
          <xsl:if test="$a/orgname"><xsl:value-of select="concat(' (', normalize-space($a/orgname), ')')"/></xsl:if>
        </xsl:when>
        <xsl:when test="$a/orgname"><xsl:value-of select="normalize-space($a/orgname)"/></xsl:when>
        <xsl:otherwise><xsl:call-template name="ti-words"/></xsl:otherwise>
      </xsl:choose>
    </span>
    <xsl:for-each select="$a/address">
      <span class="where">
        <xsl:text>, </xsl:text>
        <xsl:choose>
          <xsl:when test="*[not(self::country)]">
            <xsl:for-each select="*[not(self::country)]">
              <xsl:value-of select="normalize-space(.)"/>
              <xsl:if test="position() != last()"><xsl:text>, </xsl:text></xsl:if>
            </xsl:for-each>
          </xsl:when>
          <xsl:otherwise><xsl:value-of select="normalize-space(text())"/></xsl:otherwise>
        </xsl:choose>
        <xsl:if test="country"><xsl:value-of select="concat(' (', normalize-space(country), ')')"/></xsl:if>
      </span>
    </xsl:for-each>
    <xsl:if test="$a/registered-number">
      <span class="ids">
        <xsl:text> [</xsl:text>
        <xsl:call-template name="ti-label"><xsl:with-param name="k" select="'registered'"/></xsl:call-template>
        <xsl:value-of select="concat(' ', normalize-space($a/registered-number), ']')"/>
      </span>
    </xsl:if>
  </div>
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

<!-- Japanese texts bracket their headings and figure numbers: 【図1】. -->
<xsl:template name="ti-bracketed">
  <xsl:param name="s"/>
  <xsl:choose>
    <xsl:when test="$ti-lang = 'ja'"><xsl:value-of select="concat('【', $s, '】')"/></xsl:when>
    <xsl:otherwise><xsl:value-of select="$s"/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- Japanese texts name a figure by number ("figref num=3") and, in the list of
     drawings, carry the figure's caption inside the reference. -->
<xsl:key name="ti-fig-by-num" match="drawings/figure" use="normalize-space(@num)"/>

<xsl:template match="figref[@num and not(@idref)]" priority="2">
  <xsl:variable name="target" select="key('ti-fig-by-num', normalize-space(@num))[1]"/>
  <xsl:variable name="label">
    <xsl:call-template name="ti-bracketed">
      <xsl:with-param name="s">
        <xsl:call-template name="ti-label"><xsl:with-param name="k" select="'figure'"/></xsl:call-template>
        <xsl:if test="$ti-lang != 'ja'"><xsl:text> </xsl:text></xsl:if>
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
