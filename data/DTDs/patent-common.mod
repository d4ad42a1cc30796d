<!-- Patent full text, shared by the grant and the application DTDs: bibliographic
     data, abstract, drawings, description, claims, tables (CALS) and maths. The DTD
     that includes this module declares the root element. -->

<!ENTITY % xml-entities SYSTEM "xml-entities.ent">
%xml-entities;

<!-- Inline content of paragraphs, claims and titles. -->
<!ENTITY % inline "#PCDATA | b | i | u | sup | sub | br | smallcaps | o | figref | claim-ref
                   | crossref | ul | ol | chemistry | maths | tables | img">

<!ELEMENT bibliographic-data (publication-reference, application-reference?,
                              classifications-ipcr?, invention-title, parties?,
                              number-of-claims?, figures?)>
<!ATTLIST bibliographic-data lang CDATA #IMPLIED>
<!ELEMENT publication-reference (document-id)>
<!ELEMENT application-reference (document-id)>
<!ATTLIST application-reference appl-type CDATA #IMPLIED>
<!ELEMENT document-id (country, doc-number, kind?, date?)>
<!ELEMENT country (#PCDATA)>
<!ELEMENT doc-number (#PCDATA)>
<!ELEMENT kind (#PCDATA)>
<!ELEMENT date (#PCDATA)>
<!ELEMENT invention-title (%inline;)*>
<!ATTLIST invention-title id ID #IMPLIED lang CDATA #IMPLIED>
<!ELEMENT classifications-ipcr (classification-ipcr+)>
<!ELEMENT classification-ipcr (text)>
<!ELEMENT text (#PCDATA)>
<!ELEMENT parties (applicants?, inventors?, agents?)>
<!ELEMENT applicants (applicant+)>
<!ELEMENT applicant (addressbook)>
<!ATTLIST applicant sequence CDATA #IMPLIED app-type CDATA #IMPLIED>
<!ELEMENT inventors (inventor+)>
<!ELEMENT inventor (addressbook)>
<!ATTLIST inventor sequence CDATA #IMPLIED>
<!ELEMENT agents (agent+)>
<!ELEMENT agent (addressbook)>
<!ATTLIST agent sequence CDATA #IMPLIED rep-type CDATA #IMPLIED>
<!ELEMENT addressbook (last-name | first-name | middle-name | orgname | address)*>
<!ELEMENT middle-name (#PCDATA)>
<!ELEMENT last-name (#PCDATA)>
<!ELEMENT first-name (#PCDATA)>
<!ELEMENT orgname (#PCDATA)>
<!ELEMENT address (city?, state?, country?)>
<!ELEMENT city (#PCDATA)>
<!ELEMENT state (#PCDATA)>
<!ELEMENT number-of-claims (#PCDATA)>
<!ELEMENT figures (number-of-drawing-sheets, number-of-figures)>
<!ELEMENT number-of-drawing-sheets (#PCDATA)>
<!ELEMENT number-of-figures (#PCDATA)>

<!ELEMENT abstract (p | heading)+>
<!ATTLIST abstract id ID #IMPLIED lang CDATA #IMPLIED>
<!ELEMENT drawings (figure+)>
<!ATTLIST drawings id ID #IMPLIED>
<!ELEMENT figure (img)>
<!ATTLIST figure id ID #IMPLIED num CDATA #IMPLIED>
<!ELEMENT img EMPTY>
<!ATTLIST img id ID #IMPLIED
              he CDATA #IMPLIED
              wi CDATA #IMPLIED
              file CDATA #REQUIRED
              alt CDATA #IMPLIED
              img-content CDATA #IMPLIED
              img-format CDATA "tif"
              orientation CDATA #IMPLIED
              inline CDATA #IMPLIED>
<!ELEMENT description (heading | p | description-of-drawings)*>
<!ATTLIST description id ID #IMPLIED lang CDATA #IMPLIED>
<!ELEMENT description-of-drawings (heading | p)*>
<!ELEMENT heading (%inline;)*>
<!ATTLIST heading id ID #IMPLIED level CDATA #IMPLIED>
<!ELEMENT p (%inline;)*>
<!ATTLIST p id ID #IMPLIED num CDATA #IMPLIED>
<!ELEMENT claims (claim+)>
<!ATTLIST claims id ID #IMPLIED lang CDATA #IMPLIED>
<!ELEMENT claim (claim-text+)>
<!ATTLIST claim id ID #IMPLIED num CDATA #IMPLIED claim-type CDATA #IMPLIED>
<!ELEMENT claim-text (%inline; | claim-text)*>
<!ELEMENT claim-ref (%inline;)*>
<!ATTLIST claim-ref idref IDREFS #REQUIRED>
<!ELEMENT figref (%inline;)*>
<!ATTLIST figref idref IDREFS #IMPLIED>
<!ELEMENT crossref (%inline;)*>
<!ATTLIST crossref idref IDREFS #IMPLIED>
<!ELEMENT b (%inline;)*>
<!ELEMENT i (%inline;)*>
<!ELEMENT u (%inline;)*>
<!ATTLIST u style CDATA #IMPLIED>
<!ELEMENT o (%inline;)*>
<!ELEMENT smallcaps (%inline;)*>
<!ELEMENT sup (%inline;)*>
<!ELEMENT sub (%inline;)*>
<!ELEMENT br EMPTY>
<!ELEMENT ul (li)+>
<!ATTLIST ul list-style CDATA #IMPLIED>
<!ELEMENT ol (li)+>
<!ATTLIST ol ol-style CDATA #IMPLIED>
<!ELEMENT li (%inline;)*>
<!ELEMENT chemistry (img)>
<!ATTLIST chemistry id ID #IMPLIED num CDATA #IMPLIED>

<!-- Maths: MathML shown as text or an image of the formula. -->
<!ELEMENT maths (math | img)+>
<!ATTLIST maths id ID #IMPLIED num CDATA #IMPLIED>
<!ENTITY % mathml "mi | mn | mo | mtext | mrow | msup | msub | msubsup | mfrac | msqrt
                   | mroot | mover | munder | munderover | mfenced | mspace | mtable">
<!ELEMENT math (%mathml;)*>
<!ATTLIST math xmlns CDATA #FIXED "http://www.w3.org/1998/Math/MathML" display CDATA #IMPLIED>
<!ELEMENT mi (#PCDATA)>
<!ELEMENT mn (#PCDATA)>
<!ELEMENT mo (#PCDATA)>
<!ELEMENT mtext (#PCDATA)>
<!ELEMENT mspace EMPTY>
<!ELEMENT mrow (%mathml;)*>
<!ELEMENT msup (%mathml;)*>
<!ELEMENT msub (%mathml;)*>
<!ELEMENT msubsup (%mathml;)*>
<!ELEMENT mfrac (%mathml;)*>
<!ELEMENT msqrt (%mathml;)*>
<!ELEMENT mroot (%mathml;)*>
<!ELEMENT mover (%mathml;)*>
<!ELEMENT munder (%mathml;)*>
<!ELEMENT munderover (%mathml;)*>
<!ELEMENT mfenced (%mathml;)*>
<!ATTLIST mfenced open CDATA #IMPLIED close CDATA #IMPLIED>
<!ELEMENT mtable (mtr)*>
<!ELEMENT mtr (mtd)*>
<!ELEMENT mtd (%mathml;)*>

<!-- Tables: the CALS table model. -->
<!ELEMENT tables (table | img)+>
<!ATTLIST tables id ID #IMPLIED num CDATA #IMPLIED>
<!ELEMENT table (title?, tgroup+)>
<!ATTLIST table frame (top|bottom|topbot|all|sides|none) #IMPLIED
                colsep CDATA #IMPLIED rowsep CDATA #IMPLIED pgwide CDATA #IMPLIED
                tabstyle CDATA #IMPLIED>
<!ELEMENT title (%inline;)*>
<!ENTITY % cell-align "align (left|right|center|justify|char) #IMPLIED
                       char CDATA #IMPLIED charoff CDATA #IMPLIED">
<!ELEMENT tgroup (colspec*, spanspec*, thead?, tfoot?, tbody)>
<!ATTLIST tgroup cols CDATA #REQUIRED colsep CDATA #IMPLIED rowsep CDATA #IMPLIED
                 tgroupstyle CDATA #IMPLIED %cell-align;>
<!ELEMENT colspec EMPTY>
<!ATTLIST colspec colnum CDATA #IMPLIED colname CDATA #IMPLIED colwidth CDATA #IMPLIED
                  colsep CDATA #IMPLIED rowsep CDATA #IMPLIED %cell-align;>
<!ELEMENT spanspec EMPTY>
<!ATTLIST spanspec namest CDATA #REQUIRED nameend CDATA #REQUIRED spanname CDATA #REQUIRED
                   colsep CDATA #IMPLIED rowsep CDATA #IMPLIED %cell-align;>
<!ELEMENT thead (colspec*, row+)>
<!ATTLIST thead valign (top|middle|bottom) #IMPLIED>
<!ELEMENT tfoot (colspec*, row+)>
<!ATTLIST tfoot valign (top|middle|bottom) #IMPLIED>
<!ELEMENT tbody (row+)>
<!ATTLIST tbody valign (top|middle|bottom) #IMPLIED>
<!ELEMENT row (entry | entrytbl)+>
<!ATTLIST row rowsep CDATA #IMPLIED valign (top|middle|bottom) #IMPLIED>
<!ELEMENT entry (%inline;)*>
<!ATTLIST entry colname CDATA #IMPLIED namest CDATA #IMPLIED nameend CDATA #IMPLIED
                spanname CDATA #IMPLIED morerows CDATA #IMPLIED colsep CDATA #IMPLIED
                rowsep CDATA #IMPLIED rotate CDATA #IMPLIED
                valign (top|middle|bottom) #IMPLIED %cell-align;>
<!ELEMENT entrytbl (colspec*, spanspec*, thead?, tbody)>
<!ATTLIST entrytbl cols CDATA #REQUIRED colname CDATA #IMPLIED namest CDATA #IMPLIED
                   nameend CDATA #IMPLIED spanname CDATA #IMPLIED colsep CDATA #IMPLIED
                   rowsep CDATA #IMPLIED %cell-align;>
