<!-- Office forms (transmittal, request, fee sheet, declaration and the generic form),
     shared by the form DTDs. Forms are shown as labelled fields, so the model is
     loose: a form is a tree of named sections and fields around the document
     identifiers. The DTD that includes this module declares the root element. -->

<!ENTITY % xml-entities SYSTEM "xml-entities.ent">
%xml-entities;

<!ENTITY % form-attributes "lang CDATA #IMPLIED
                            dtd-version CDATA #IMPLIED
                            file CDATA #IMPLIED
                            country CDATA #IMPLIED
                            form-id CDATA #IMPLIED
                            id ID #IMPLIED">
<!ENTITY % form-content "document-id | application-reference | invention-title | party
                         | section | field | fee | signature | p | checkbox | date
                         | attorney-docket-number | total">

<!ELEMENT document-id (country?, doc-number, kind?, date?)>
<!ELEMENT application-reference (document-id)>
<!ELEMENT country (#PCDATA)>
<!ELEMENT doc-number (#PCDATA)>
<!ELEMENT kind (#PCDATA)>
<!ELEMENT date (#PCDATA)>
<!ELEMENT invention-title (#PCDATA)>
<!ELEMENT attorney-docket-number (#PCDATA)>
<!ELEMENT party (name | address | field)*>
<!ATTLIST party role CDATA #IMPLIED sequence CDATA #IMPLIED>
<!ELEMENT name (#PCDATA)>
<!ELEMENT address (#PCDATA | field)*>
<!ELEMENT section (title?, (%form-content;)*)>
<!ATTLIST section id ID #IMPLIED name CDATA #IMPLIED>
<!ELEMENT title (#PCDATA)>
<!ELEMENT field (#PCDATA)>
<!ATTLIST field name CDATA #REQUIRED label CDATA #IMPLIED>
<!ELEMENT checkbox (#PCDATA)>
<!ATTLIST checkbox name CDATA #IMPLIED checked (yes|no) "no">
<!ELEMENT fee (fee-code?, description?, quantity?, amount)>
<!ELEMENT fee-code (#PCDATA)>
<!ELEMENT description (#PCDATA)>
<!ELEMENT quantity (#PCDATA)>
<!ELEMENT amount (#PCDATA)>
<!ATTLIST amount currency CDATA #IMPLIED>
<!ELEMENT total (#PCDATA)>
<!ATTLIST total currency CDATA #IMPLIED>
<!ELEMENT signature (name?, date?, field*)>
<!ELEMENT p (#PCDATA)>
