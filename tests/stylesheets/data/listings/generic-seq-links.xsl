<?xml version="1.0" encoding="UTF-8"?>
<!-- The generic page with the listing page the opener would pass. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
<xsl:import href="../../../../data/DTDs/xsl/generic.xsl"/>
<xsl:param name="tv-seq-page" select="'s%201.xml.html'"/>
</xsl:stylesheet>
